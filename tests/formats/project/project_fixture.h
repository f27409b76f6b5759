// A tiny object library in a temporary folder, a creature with a recording
// message sink, and the two-part figure whose project file the tests know
// byte for byte.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "../../panels/temp_dir.h"
#include "../../panels/tiny_library.h"
#include "../../support/recording_sink.h"
#include "formats/object_reader.h"
#include "formats/project_file.h"
#include "model/creature.h"

namespace projecttest {

inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ProjectTest : public testlib::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        lib = (dir / "objects").string();
        testlib::MakeTinyLibrary(lib, {{"Left arm", {"arm01.mwo", "arm02.mwo"}}, {"Left forearm", {"Fore_A.MWO"}},
                                       {"Head", {"head01.mwo"}}}, {});
    }

    // Loads a part the way the "Main" page does.
    static bool Add(model::Creature& c, const std::string& library, const std::string& type, const std::string& file,
                    int panelIndex) {
        return formats::SetPartFromFile(c, type, library + "/" + type + "/" + file, panelIndex);
    }

    // An arm and a forearm with settings in every lock mode; their factors
    // are all 0 unless the figure is to be deformed.
    void MakeFigure(bool deform) {
        ASSERT_TRUE(Add(creature, lib, "Left arm", "arm01.mwo", 9));
        ASSERT_TRUE(Add(creature, lib, "Left forearm", "Fore_A.MWO", 10));
        model::MeshObject& arm = *creature.PartNamed("Left arm");
        model::MeshObject& fore = *creature.PartNamed("Left forearm");
        const std::int32_t positions[3][3] = {{1, -2, 3}, {0, 40, 0}, {-5, 0, 600}};
        const float factors[3][3] = {{0.25f, 0, -0.1f}, {0, 1.5f, 0}, {-0.125f, 0, 0.3f}};
        for (int m = 0; m < 3; ++m) {
            for (int a = 0; a < 3; ++a) {
                arm.settings.sliderPositions[m][a] = positions[m][a];
                if (deform) arm.settings.deformFactors[m][a] = factors[m][a];
            }
        }
        arm.settings.sliderSteps[1] = 0.5f;
        arm.settings.sliderSteps[2] = 0.02f;
        arm.settings.lockModes[0] = 1;
        arm.settings.lockModes[1] = 2;
        fore.settings.sliderPositions[2][1] = 275;
        fore.settings.lockModes[0] = fore.settings.lockModes[1] = 2;
        fore.settings.lockModes[2] = 1;
        if (deform) {
            fore.settings.deformFactors[2][1] = -2.75f;
            creature.ApplyParameters(&arm);
            creature.ApplyParameters(&fore);
        }
    }

    // The figure's file, worked out by hand.
    static constexpr const char* kFigureFile =
        "MW1\r\n2\r\n"
        "3\r\n9\r\nLeft arm\r\n\\Left arm\\arm01.mwo\r\n"
        "1 -2 3 0 40 0 -5 0 600 0.010000 0.500000 0.020000 0.250000 0.000000 -0.100000 "
        "0.000000 1.500000 0.000000 -0.125000 0.000000 0.300000 1 2 0 0\r\n"
        "5\r\n10\r\nLeft forearm\r\n\\Left forearm\\Fore_A.MWO\r\n"
        "0 0 0 0 0 0 0 275 0 0.010000 0.010000 0.010000 0.000000 0.000000 0.000000 "
        "0.000000 0.000000 0.000000 0.000000 -2.750000 0.000000 2 2 1 0\r\n";

    testsupport::RecordingSink sink;
    model::Creature creature{sink};
    std::string lib;
};

}  // namespace projecttest
