// mw_make_library <folder>: writes the sample object library, one
// sub-folder per body part, several variants each.
#include <cstdio>
#include <string>

#include "sample_library.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: mw_make_library <folder>\n");
        return 2;
    }
    std::string error;
    if (!library::WriteSampleLibrary(argv[1], &error)) {
        std::fprintf(stderr, "mw_make_library: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
