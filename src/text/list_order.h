// The order of a sorted drop-down list, the same on every platform: bytes
// compared with letters folded to lower case, a shorter prefix first, so
// " (none) " sorts before every name that starts with a letter or digit.
#pragma once

#include <string_view>

namespace text {

// Negative, zero or positive as a sorts before, with or after b.
int CompareIgnoringCase(std::string_view a, std::string_view b);

}  // namespace text
