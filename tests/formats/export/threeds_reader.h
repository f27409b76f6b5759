// A small reader of the .3ds files the export writes, for tests that look at
// more than a few bytes: it walks the chunk tree, holding every chunk inside
// its parent, and collects vertices, faces, material names and colours and
// material groups.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <string>
#include <vector>

namespace exporttest {

struct ThreeDs {
    std::vector<std::array<float, 3>> vertices;
    std::vector<std::array<int, 4>> faces;  // a, b, c, flags
    std::vector<std::string> materials;
    std::vector<std::array<int, 3>> colours;  // diffuse, per material
    std::vector<std::string> groups;
    std::vector<std::vector<int>> groupFaces;
    std::string error;  // empty when the file held together
};

class ThreeDsReader {
public:
    explicit ThreeDsReader(const std::vector<unsigned char>& bytes) : b_(bytes) {}

    ThreeDs Read() {
        if (b_.size() < 6 || U16(0) != 0x4D4D || U32(2) != b_.size()) return Fail("no 4D4D chunk over the file");
        Walk(6, b_.size());
        return r_;
    }

private:
    ThreeDs Fail(const std::string& why) {
        if (r_.error.empty()) r_.error = why;
        return r_;
    }
    int U16(std::size_t at) const { return at + 2 <= b_.size() ? b_[at] | (b_[at + 1] << 8) : 0; }
    std::uint32_t U32(std::size_t at) const { return U16(at) | (static_cast<std::uint32_t>(U16(at + 2)) << 16); }
    float F32(std::size_t at) const { return std::bit_cast<float>(U32(at)); }
    std::string Name(std::size_t& at, std::size_t end) {
        const std::size_t start = at;
        while (at < end && b_[at] != 0) ++at;
        if (at++ >= end) Fail("name without its zero byte");
        return std::string(b_.begin() + static_cast<std::ptrdiff_t>(start), b_.begin() + static_cast<std::ptrdiff_t>(at - 1));
    }
    bool Holds(std::size_t at, std::size_t end, std::size_t bytes) {
        if (end < at || end - at < bytes) Fail("chunk shorter than its contents");
        return r_.error.empty();
    }

    void Walk(std::size_t at, std::size_t end) {
        while (at < end && r_.error.empty()) {
            const std::uint32_t length = U32(at + 2);
            if (end - at < 6 || length < 6 || length > end - at) return void(Fail("chunk runs past its parent"));
            Chunk(U16(at), at + 6, at + length);
            at += length;
        }
    }

    void Chunk(int id, std::size_t at, std::size_t end) {
        if (id == 0x3D3D || id == 0x4100) return Walk(at, end);
        if (id == 0xAFFF) {
            r_.materials.emplace_back();
            r_.colours.emplace_back();
            return Walk(at, end);
        }
        if (id == 0xA000) {
            r_.materials.back() = Name(at, end);
            if (at != end) Fail("material name chunk longer than its name");
        } else if (id == 0xA020 && Holds(at, end, 9)) {
            r_.colours.back() = {b_[at + 6], b_[at + 7], b_[at + 8]};
        } else if (id == 0x4000) {
            Name(at, end);
            Walk(at, end);
        } else if (id == 0x4110 && Holds(at, end, 2) && Holds(at, end, 2 + 12u * U16(at))) {
            if (end != at + 2 + 12u * U16(at)) Fail("point array longer than its points");
            for (int v = 0, n = U16(at); v < n; ++v) {
                const std::size_t p = at + 2 + 12u * v;
                r_.vertices.push_back({F32(p), F32(p + 4), F32(p + 8)});
            }
        } else if (id == 0x4120 && Holds(at, end, 2) && Holds(at, end, 2 + 8u * U16(at))) {
            const int n = U16(at);
            for (int f = 0; f < n; ++f) {
                const std::size_t p = at + 2 + 8u * f;
                r_.faces.push_back({U16(p), U16(p + 2), U16(p + 4), U16(p + 6)});
            }
            Walk(at + 2 + 8u * n, end);
        } else if (id == 0x4130) {
            r_.groups.push_back(Name(at, end));
            if (!Holds(at, end, 2) || end != at + 2 + 2u * U16(at)) return void(Fail("material group length"));
            r_.groupFaces.emplace_back();
            for (int f = 0, n = U16(at); f < n; ++f) r_.groupFaces.back().push_back(U16(at + 2 + 2u * f));
        }
    }

    const std::vector<unsigned char>& b_;
    ThreeDs r_;
};

inline ThreeDs ReadThreeDs(const std::vector<unsigned char>& bytes) { return ThreeDsReader(bytes).Read(); }

}  // namespace exporttest
