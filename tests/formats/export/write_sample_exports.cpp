// Writes the sample figure (the first object file of every part's folder)
// as sample.3ds and sample.dxf, for the independent readers the tests run,
// and sample.counts with what they should find in them:
//   mw_write_sample_exports <object library> <output folder>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "formats/export_3ds.h"
#include "formats/export_dxf.h"
#include "formats/merged_figure.h"
#include "model/creature.h"
#include "model/part_types.h"
#include "ui/message_sink.h"

namespace {

class PrintingSink : public ui::MessageSink {
public:
    void ShowMessage(const std::string& text, const std::string& caption, ui::Icon, ui::Window*) override {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    }
};

int BuildFigure(model::Creature& creature, const std::filesystem::path& library) {
    namespace fs = std::filesystem;
    for (int panel = 0; panel < model::kPartTypeCount; ++panel) {
        const std::string name(model::panelOrder[static_cast<std::size_t>(panel)]);
        std::vector<fs::path> files;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(library / name, error)) {
            if (entry.path().extension() == ".mwo") files.push_back(entry.path());
        }
        if (files.empty()) continue;
        std::sort(files.begin(), files.end());
        creature.SetPart(name, files.front().string().c_str(), panel);
    }
    return creature.parts.Count();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <object library> <output folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path out(argv[2]);
    std::filesystem::create_directories(out);
    PrintingSink sink;
    model::Creature creature(sink);
    if (BuildFigure(creature, argv[1]) != model::kPartTypeCount) {
        std::fprintf(stderr, "the sample figure is not whole\n");
        return 1;
    }
    if (!formats::Export3ds(creature, (out / "sample.3ds").string(), sink)) return 1;
    if (!formats::ExportDxf(creature, (out / "sample.dxf").string(), sink)) return 1;

    formats::MergedFigure figure;
    figure.Prepare(creature);
    figure.ListVertices();
    std::ofstream counts(out / "sample.counts");
    counts << "vertices " << figure.vertices.size() << "\n"
           << "quads " << figure.faces.size() << "\n"
           << "materials " << figure.surfaces.size() << "\n";
    std::printf("sample figure: %zu vertices (%zu points before merging), %zu quads, %zu materials\n",
                figure.vertices.size(), figure.PointCount(), figure.faces.size(), figure.surfaces.size());
    return counts ? 0 : 1;
}
