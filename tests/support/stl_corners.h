// The corners of a binary STL file as a test reads them, sharing no code
// with the writer: x, y, z per corner, three corners a triangle, each float
// put together byte by byte from little-endian order.
#pragma once

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

// Empty when the bytes are no binary STL of the size its count says.
inline std::vector<float> StlCorners(const std::string& bytes) {
    const auto word = [&](std::size_t at) {
        std::uint32_t value = 0;
        for (std::size_t b = 0; b < 4; ++b) value |= std::uint32_t{static_cast<unsigned char>(bytes[at + b])} << (8 * b);
        return value;
    };
    if (bytes.size() < 84 || bytes.size() != 84 + 50 * std::size_t{word(80)}) return {};
    std::vector<float> corners;
    corners.reserve(9 * std::size_t{word(80)});
    for (std::size_t at = 84; at < bytes.size(); at += 50) {
        // A triangle: its normal, then three corners.
        for (std::size_t k = 3; k < 12; ++k) corners.push_back(std::bit_cast<float>(word(at + 4 * k)));
    }
    return corners;
}

}  // namespace testsupport
