// Writes a few sound object files into the folder given as the first
// argument, as a starting corpus for the object reader's fuzz target.
#include <cstdio>
#include <string>

#include "formats/object_writer.h"

namespace {

// A small quad strip of 2 × `columns` points with seams at both ends.
formats::ObjectFileData Strip(int columns, bool container, bool normals) {
    formats::ObjectFileData data;
    for (int c = 0; c < columns; ++c) {
        for (int r = 0; r < 2; ++r) {
            data.points.insert(data.points.end(), {static_cast<float>(c), static_cast<float>(r), 0.5f * c});
            if (normals) data.normals.insert(data.normals.end(), {0, 0, 1});
        }
    }
    for (int c = 0; c + 1 < columns; ++c) {
        const auto p = static_cast<std::uint16_t>(2 * c);
        data.polygons.push_back({p, static_cast<std::uint16_t>(p + 2), static_cast<std::uint16_t>(p + 3),
                                 static_cast<std::uint16_t>(p + 1), static_cast<std::uint16_t>(c % 2)});
    }
    data.surfaces = {{"Skin", true, {230, 180, 150}}, {"Shirt", false, {}}};
    data.surfacesInContainer = container;
    data.boundaryLists[0] = {0, 1};
    const auto last = static_cast<std::uint16_t>(2 * columns - 2);
    data.boundaryLists[1] = {last, static_cast<std::uint16_t>(last + 1)};
    data.fourthHeaderValue = columns;
    return data;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_seeds <folder>\n");
        return 2;
    }
    const std::string folder = argv[1];
    const struct {
        const char* name;
        formats::ObjectFileData data;
    } seeds[] = {
        {"strip.mwo", Strip(4, false, true)},
        {"strip_container.mwo", Strip(6, true, true)},
        {"strip_no_normals.mwo", Strip(3, false, false)},
        {"single_quad.mwo", Strip(2, true, true)},
    };
    for (const auto& seed : seeds) {
        if (!formats::WriteObjectFile(folder + "/" + seed.name, seed.data)) {
            std::fprintf(stderr, "make_fuzz_seeds: cannot write %s/%s\n", folder.c_str(), seed.name);
            return 1;
        }
    }
    return 0;
}
