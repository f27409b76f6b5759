#include "formats/export_dxf_number.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace formats {

namespace {

std::size_t Copy(const char* text, char* out) {
    const std::size_t length = std::strlen(text);
    std::memcpy(out, text, length);
    return length;
}

}  // namespace

std::size_t FormatDxfNumber(double value, char* out) {
    // As the C library spells them.
    if (std::isnan(value)) return Copy(std::signbit(value) ? "-nan" : "nan", out);
    if (std::isinf(value)) return Copy(value < 0 ? "-inf" : "inf", out);

    // Six significant digits, rounded once: "d.ddddde±XX". The exponent of
    // this form picks between the two notations of "%g", and the digits are
    // the same in either.
    char scientific[32];
    const auto [end, error] = std::to_chars(scientific, scientific + sizeof scientific, value,
                                            std::chars_format::scientific, 5);
    if (error != std::errc()) return Copy("0", out);
    const char* digits = scientific;
    char* o = out;
    if (*digits == '-') {
        *o++ = '-';
        ++digits;
    }
    // digits: d . ddddd e ± X...
    const char* e = digits + 7;
    const bool negativeExponent = e[1] == '-';
    int exponent = 0;
    for (const char* p = e + 2; p < end; ++p) exponent = exponent * 10 + (*p - '0');
    if (negativeExponent) exponent = -exponent;
    const char significant[6] = {digits[0], digits[2], digits[3], digits[4], digits[5], digits[6]};
    int kept = 6;  // significant digits left once trailing zeros go
    while (kept > 1 && significant[kept - 1] == '0') --kept;

    if (exponent < -4 || exponent >= 6) {
        *o++ = significant[0];
        if (kept > 1) {
            *o++ = '.';
            for (int i = 1; i < kept; ++i) *o++ = significant[i];
        }
        *o++ = 'e';
        *o++ = negativeExponent ? '-' : '+';
        const int magnitude = negativeExponent ? -exponent : exponent;
        // At least three digits.
        *o++ = static_cast<char>('0' + magnitude / 100);
        *o++ = static_cast<char>('0' + magnitude / 10 % 10);
        *o++ = static_cast<char>('0' + magnitude % 10);
    } else if (exponent >= 0) {
        // Whole digits, then the point only when fractional digits remain.
        for (int i = 0; i <= exponent; ++i) *o++ = significant[i];
        if (kept > exponent + 1) {
            *o++ = '.';
            for (int i = exponent + 1; i < kept; ++i) *o++ = significant[i];
        }
    } else {
        *o++ = '0';
        *o++ = '.';
        for (int i = -1; i > exponent; --i) *o++ = '0';
        for (int i = 0; i < kept; ++i) *o++ = significant[i];
    }
    return static_cast<std::size_t>(o - out);
}

}  // namespace formats
