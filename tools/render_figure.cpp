// mw_render_figure <library> <out.ppm> [view] [variant] [zoom] [focus y] [focus x]: assembles a
// figure from the object library through the creature, in the selection
// panel's order, and renders it in software. view: front, side, back,
// three-quarter, top; variant: the index used for every part (taken modulo
// each part's count), or "mix" for variant (part + 1) mod count; focus y:
// the height that comes to the middle of the picture.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "formats/object_reader.h"
#include "model/creature.h"
#include "model/part_types.h"
#include "software_renderer.h"
#include "ui/message_sink.h"

namespace {

class PrintingSink : public ui::MessageSink {
public:
    void Report(const ui::Message& message) override {
        std::fprintf(stderr, "message box: [%s] %s\n", message.caption.c_str(), message.text.c_str());
        ++count;
    }
    int count = 0;
};

std::vector<std::string> ObjectFiles(const std::filesystem::path& dir) {
    std::vector<std::string> files;
    std::error_code ec;
    for (const auto& item : std::filesystem::directory_iterator(dir, ec)) {
        if (item.path().extension() == ".mwo") files.push_back(item.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: mw_render_figure <library> <out.ppm> [view] [variant|mix] [zoom] [focus y] [focus x]\n");
        return 2;
    }
    const std::string view = argc > 3 ? argv[3] : "front";
    const std::string variant = argc > 4 ? argv[4] : "0";
    const double zoom = argc > 5 ? std::atof(argv[5]) : 1.1;
    const float focus = argc > 6 ? static_cast<float>(std::atof(argv[6])) : 0.f;
    const float focusX = argc > 7 ? static_cast<float>(std::atof(argv[7])) : 0.f;

    PrintingSink sink;
    model::Creature creature(sink);
    for (int panel = 0; panel < model::kPartTypeCount; ++panel) {
        const std::string name(model::panelOrder[panel]);
        const std::vector<std::string> files = ObjectFiles(std::filesystem::path(argv[1]) / name);
        if (files.empty()) continue;
        const int index = variant == "mix" ? panel + 1 : std::atoi(variant.c_str());
        const std::string& path = files[static_cast<std::size_t>(index) % files.size()];
        if (!formats::SetPartFromFile(creature, name, path, panel)) std::fprintf(stderr, "not set: %s\n", path.c_str());
    }

    double yaw = 0, pitch = 0;
    if (view == "side") yaw = -3.14159265358979 / 2;
    if (view == "back") yaw = 3.14159265358979;
    if (view == "three-quarter") yaw = -0.6;
    if (view == "below") pitch = 0.7;
    if (view == "top") pitch = 1.2;
    library::SoftwareRenderer renderer(548, 557, {0.1f, 0.1f, 0.12f});
    renderer.SetCamera(yaw, pitch, zoom);

    float lo[3] = {1e9f, 1e9f, 1e9f}, hi[3] = {-1e9f, -1e9f, -1e9f};
    for (int i = 0; i < creature.parts.Count(); ++i) {
        const model::MeshObject* part = creature.PartAt(i);
        for (std::size_t p = 0; p + 2 < part->points.size(); p += 3) {
            for (int k = 0; k < 3; ++k) {
                lo[k] = std::min(lo[k], part->points[p + k]);
                hi[k] = std::max(hi[k], part->points[p + k]);
            }
        }
        for (const model::Polygon& q : part->polygons) {
            std::array<std::array<float, 3>, 4> pts, nrm;
            const std::uint16_t ids[4] = {q.a, q.b, q.c, q.d};
            for (int c = 0; c < 4; ++c) {
                for (int k = 0; k < 3; ++k) {
                    pts[c][k] = part->points[ids[c] * 3u + k] - (k == 1 ? focus : 0.f) - (k == 0 ? focusX : 0.f);
                    nrm[c][k] = part->normals.empty() ? 0.f : part->normals[ids[c] * 3u + k];
                }
            }
            const auto& colour = part->surfaces[q.surface].colour;
            renderer.DrawQuad(pts, nrm, {colour[0], colour[1], colour[2]});
        }
    }
    std::printf("parts %d, messages %d, bounds x %.4f..%.4f y %.4f..%.4f z %.4f..%.4f\n", creature.parts.Count(),
                sink.count, lo[0], hi[0], lo[1], hi[1], lo[2], hi[2]);
    return renderer.WritePpm(argv[2]) ? 0 : 1;
}
