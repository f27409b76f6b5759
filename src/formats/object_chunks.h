// The chunk ids of object files (*.mwo). A chunk id packs its characters
// with the first in the top byte and is stored little-endian, so "PNTS"
// stands in the file as "STNP".
#pragma once

#include <cstdint>

namespace formats {

constexpr std::uint32_t ChunkId(const char (&text)[5]) {
    return (static_cast<std::uint32_t>(static_cast<unsigned char>(text[0])) << 24) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(text[1])) << 16) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(text[2])) << 8) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(text[3]));
}

constexpr std::uint32_t kHeaderId = ChunkId("MWOB");
constexpr std::uint32_t kPointsId = ChunkId("PNTS");
constexpr std::uint32_t kNormalsId = ChunkId("NRMS");
constexpr std::uint32_t kPolygonsId = ChunkId("SRFS");
constexpr std::uint32_t kContainerId = ChunkId("SUFS");
constexpr std::uint32_t kSurfaceId = ChunkId("SURF");
constexpr std::uint32_t kNameId = ChunkId("NAME");
constexpr std::uint32_t kFirstListId = ChunkId("P001");  // P002 … P008 follow

}  // namespace formats
