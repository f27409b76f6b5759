// The mesh export table the dialog and mwbatch read: every row is found by
// its extension in any letter case, and says where a placed figure lands.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "formats/mesh_exports.h"

namespace {

TEST(MeshExports, EveryRowIsFoundByItsOwnExtensionInAnyCase) {
    for (const formats::MeshExport& mesh : formats::kMeshExports) {
        std::string capitals = mesh.extension;
        for (char& c : capitals) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_EQ(formats::MeshExportOf(mesh.extension), &mesh) << mesh.extension;  // no other row has it
        EXPECT_EQ(formats::MeshExportOf(capitals), &mesh) << capitals;
        // The help texts say where a placed figure lands, and nothing of the others.
        EXPECT_EQ(mesh.placed, mesh.placement != nullptr) << mesh.extension;
    }
    for (const char* other : {".mwp", ".png", "3ds", ".3d", ""}) {
        EXPECT_EQ(formats::MeshExportOf(other), nullptr) << other;
    }
}

}  // namespace
