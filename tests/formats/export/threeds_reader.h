// A small reader of the .3ds files the export writes, for tests that look at
// more than a few bytes: it walks the chunk tree, holds every length to its
// parent and its children, and collects vertices, faces, materials and
// material groups.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <string>
#include <vector>

namespace exporttest {

struct ThreeDs {
    struct Material {
        std::string name;
        std::array<int, 3> colour{};
    };
    struct Group {
        std::string name;
        std::vector<int> faces;
    };
    std::vector<std::array<float, 3>> vertices;
    std::vector<std::array<int, 4>> faces;  // a, b, c, flags
    std::vector<Material> materials;
    std::vector<Group> groups;
    std::string error;  // empty when the file held together
};

class ThreeDsReader {
public:
    explicit ThreeDsReader(const std::vector<unsigned char>& bytes) : bytes_(bytes) {}

    ThreeDs Read() {
        if (bytes_.size() < 6 || U16(0) != 0x4D4D) return Fail("no 4D4D chunk first");
        if (U32(2) != bytes_.size()) return Fail("4D4D length is not the file size");
        Walk(6, bytes_.size());
        return result_;
    }

private:
    ThreeDs Fail(const std::string& why) {
        if (result_.error.empty()) result_.error = why;
        return result_;
    }
    std::uint16_t U16(std::size_t at) const { return static_cast<std::uint16_t>(bytes_[at] | (bytes_[at + 1] << 8)); }
    std::uint32_t U32(std::size_t at) const { return U16(at) | (static_cast<std::uint32_t>(U16(at + 2)) << 16); }
    float F32(std::size_t at) const { return std::bit_cast<float>(U32(at)); }
    std::string Name(std::size_t& at, std::size_t end) {
        std::string name;
        while (at < end && bytes_[at] != 0) name.push_back(static_cast<char>(bytes_[at++]));
        if (at >= end) Fail("name without its zero byte");
        ++at;
        return name;
    }

    // The chunks from `at` to exactly `end`.
    void Walk(std::size_t at, std::size_t end) {
        while (at < end && result_.error.empty()) {
            if (end - at < 6) {
                Fail("chunk header cut off");
                return;
            }
            const std::uint16_t id = U16(at);
            const std::uint32_t length = U32(at + 2);
            if (length < 6 || length > end - at) {
                Fail("chunk " + std::to_string(id) + " runs past its parent");
                return;
            }
            Chunk(id, at + 6, at + length);
            at += length;
        }
    }

    void Chunk(std::uint16_t id, std::size_t data, std::size_t end) {
        switch (id) {
            case 0x3D3D:
            case 0x4100:
                Walk(data, end);
                break;
            case 0xAFFF:
                result_.materials.emplace_back();
                Walk(data, end);
                break;
            case 0xA000: {
                std::size_t at = data;
                result_.materials.back().name = Name(at, end);
                if (at != end) Fail("material name chunk longer than its name");
                break;
            }
            case 0xA020:
                if (end - data != 9 || U16(data) != 0x0011) {
                    Fail("diffuse colour is no COLOR_24");
                    break;
                }
                for (int c = 0; c < 3; ++c) result_.materials.back().colour[c] = bytes_[data + 6 + c];
                break;
            case 0x4000: {
                std::size_t at = data;
                Name(at, end);
                Walk(at, end);
                break;
            }
            case 0x4110: {
                if (end - data < 2) break;
                const int count = U16(data);
                if (end - data != 2 + 12u * count) {
                    Fail("point array length");
                    break;
                }
                for (int v = 0; v < count; ++v) {
                    const std::size_t at = data + 2 + 12u * v;
                    result_.vertices.push_back({F32(at), F32(at + 4), F32(at + 8)});
                }
                break;
            }
            case 0x4120: {
                if (end - data < 2) break;
                const int count = U16(data);
                if (end - data < 2 + 8u * count) {
                    Fail("face array shorter than its faces");
                    break;
                }
                for (int f = 0; f < count; ++f) {
                    const std::size_t at = data + 2 + 8u * f;
                    result_.faces.push_back({U16(at), U16(at + 2), U16(at + 4), U16(at + 6)});
                }
                Walk(data + 2 + 8u * count, end);
                break;
            }
            case 0x4130: {
                std::size_t at = data;
                ThreeDs::Group group;
                group.name = Name(at, end);
                if (!result_.error.empty() || end - at < 2) break;
                const int count = U16(at);
                if (end - at != 2 + 2u * count) {
                    Fail("material group length");
                    break;
                }
                for (int f = 0; f < count; ++f) group.faces.push_back(U16(at + 2 + 2u * f));
                result_.groups.push_back(group);
                break;
            }
            default:
                break;
        }
    }

    const std::vector<unsigned char>& bytes_;
    ThreeDs result_;
};

inline ThreeDs ReadThreeDs(const std::vector<unsigned char>& bytes) { return ThreeDsReader(bytes).Read(); }

}  // namespace exporttest
