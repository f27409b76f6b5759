// Object file bytes put together by hand, chunk by chunk, so that tests can
// build sound and damaged files alike.
#pragma once

#include <bit>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace testdata {

class Bytes {
public:
    Bytes& U8(unsigned v) {
        data.push_back(static_cast<unsigned char>(v));
        return *this;
    }
    Bytes& U16(unsigned v) { return U8(v & 0xFF).U8((v >> 8) & 0xFF); }
    Bytes& U16BigEndian(unsigned v) { return U8((v >> 8) & 0xFF).U8(v & 0xFF); }
    Bytes& U32(std::uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
    Bytes& F32(float v) { return U32(std::bit_cast<std::uint32_t>(v)); }
    Bytes& Text(const std::string& text) {
        data.insert(data.end(), text.begin(), text.end());
        return *this;
    }
    Bytes& Append(const Bytes& other) {
        data.insert(data.end(), other.data.begin(), other.data.end());
        return *this;
    }
    // A chunk id: the first character in the top byte, stored little-endian.
    Bytes& Id(const char* id) {
        return U32((static_cast<std::uint32_t>(static_cast<unsigned char>(id[0])) << 24) |
                   (static_cast<std::uint32_t>(static_cast<unsigned char>(id[1])) << 16) |
                   (static_cast<std::uint32_t>(static_cast<unsigned char>(id[2])) << 8) |
                   static_cast<std::uint32_t>(static_cast<unsigned char>(id[3])));
    }
    Bytes& Chunk(const char* id, const Bytes& body) {
        return Id(id).U32(static_cast<std::uint32_t>(body.data.size())).Append(body);
    }

    std::vector<unsigned char> data;
};

inline Bytes Header(std::uint32_t points, std::uint32_t polygons, std::uint32_t surfaces,
                    std::uint32_t fourth = 0) {
    return Bytes().Chunk("MWOB", Bytes().U32(points).U32(polygons).U32(surfaces).U32(fourth));
}

inline Bytes Floats(std::initializer_list<float> values) {
    Bytes b;
    for (float v : values) b.F32(v);
    return b;
}

inline Bytes Indices(std::initializer_list<unsigned> values) {
    Bytes b;
    for (unsigned v : values) b.U16(v);
    return b;
}

// A SURF chunk's data: the NAME record, then the attribute bytes as given.
inline Bytes SurfaceBody(const std::string& name, const Bytes& attributes = Bytes()) {
    return Bytes().Id("NAME").U32(static_cast<std::uint32_t>(name.size())).Text(name).Append(attributes);
}

// A big-endian attribute sub-chunk: id in reading order, 16-bit length, data.
inline Bytes SubChunk(const char* id, const Bytes& body) {
    return Bytes().Text(std::string(id, 4)).U16BigEndian(static_cast<unsigned>(body.data.size())).Append(body);
}

inline Bytes Colour(unsigned r, unsigned g, unsigned b) {
    return SubChunk("COLR", Bytes().U8(r).U8(g).U8(b).U8(0));
}

}  // namespace testdata
