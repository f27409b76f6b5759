// Numbers in text the way the program's files and fields hold them: written
// with six decimals, read as the C library's atof reads them, always with
// the C locale's "." whatever the user's locale is.
#pragma once

#include <string>
#include <string_view>

namespace formats {

// "%f": six decimals, "." as the decimal point ("0.010000", "-1.500000").
std::string FormatFixed(double value);

// Leading whitespace skipped, then the longest number that stands there
// (an optional sign, digits with an optional point, an optional exponent);
// 0 when there is none. A number that is no finite float (inf, nan, beyond
// the float range) also reads as 0, so no field or file can put one into
// the geometry.
float ReadLeadingFloat(std::string_view text);

}  // namespace formats
