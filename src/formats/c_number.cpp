#include "formats/c_number.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace formats {

std::string FormatFixed(double value) {
    char buffer[400];  // the longest double in fixed notation has 309 digits before the point
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    if (ec != std::errc()) return "0.000000";
    return std::string(buffer, end);
}

float ReadLeadingFloat(std::string_view text) {
    std::size_t p = 0;
    while (p < text.size() && (text[p] == ' ' || (text[p] >= '\t' && text[p] <= '\r'))) ++p;
    // from_chars takes a minus sign but no plus sign; "+-1" is no number.
    if (p < text.size() && text[p] == '+') {
        ++p;
        if (p < text.size() && text[p] == '-') return 0.0f;
    }
    double value = 0;
    const char* first = text.data() + p;
    auto [end, ec] = std::from_chars(first, text.data() + text.size(), value, std::chars_format::general);
    if (end == first || ec != std::errc()) return 0.0f;
    if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max()) return 0.0f;
    return static_cast<float>(value);
}

}  // namespace formats
