// Reals in DXF files: "%g" (six significant digits, no trailing zeros) with
// an exponent of at least three digits ("1e-005", "1.23457e+006"), as the
// format's readers expect, and "." as the decimal point whatever the locale.
#pragma once

#include <cstddef>

namespace formats {

// The longest text FormatDxfNumber writes ("-1.23457e+308" and a spare).
constexpr std::size_t kDxfNumberMax = 16;

// Writes the number to `out` (at least kDxfNumberMax bytes, no terminating
// zero) and returns its length.
std::size_t FormatDxfNumber(double value, char* out);

}  // namespace formats
