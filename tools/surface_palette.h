// The standard colours of the sample library's surface names.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace library {

using Colour = std::array<std::uint8_t, 3>;

// The colour of a surface name; mid grey for a name without one.
Colour StandardColour(const std::string& name);

}  // namespace library
