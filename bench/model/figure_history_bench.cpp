// Undo and redo of a drag against the drag itself: 40 scroll messages on the
// Left forearm's X bar, each a new factor applied and the forearm welded
// again, kept as one step; on the sample figure and on a stress figure of
// 22 parts of 16 129 quads each. The counters give what the step keeps
// against the point data of the forearm and the parts welded to it
// (target: less than twice that; undo faster than the drag).
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "../common/counting_sink.h"
#include "../common/sample_figure.h"
#include "model/creature.h"
#include "model/figure_history.h"
#include "model/part_types.h"

namespace {

constexpr int kScrollMessages = 40;

void Drag(model::Creature& figure, model::MeshObject* forearm, float from) {
    for (int message = 1; message <= kScrollMessages; ++message) {
        forearm->settings.deformFactors[model::kLockNone][model::kAxisX] = from + 0.002f * static_cast<float>(message);
        figure.ApplyParameters(forearm);
    }
}

std::size_t PointBytes(const model::MeshObject* part) {
    return part == nullptr ? 0 : sizeof(float) * (part->points.size() + part->restPoints.size() + part->normals.size());
}

// A grid of 128 × 128 points (16 129 quads) for every part, side by side,
// without seams: the drag welds nothing, the step keeps the forearm alone.
void BuildStressFigure(model::Creature& figure) {
    constexpr int kSide = 128;
    for (int panel = 0; panel < model::kPartTypeCount; ++panel) {
        auto part = std::make_unique<model::MeshObject>();
        part->objectName = "stress";
        for (int r = 0; r < kSide; ++r) {
            for (int c = 0; c < kSide; ++c) {
                const float x = 0.1f * static_cast<float>(panel) + 0.0005f * static_cast<float>(c);
                part->points.insert(part->points.end(), {x, 0.0005f * static_cast<float>(r), 0.0f});
                part->normals.insert(part->normals.end(), {0.0f, 0.0f, 1.0f});
            }
        }
        part->restPoints = part->points;
        part->pointCount = kSide * kSide;
        std::vector<model::Polygon>& quads = part->polygons.Edit();
        for (int r = 0; r + 1 < kSide; ++r) {
            for (int c = 0; c + 1 < kSide; ++c) {
                const auto at = [&](int rr, int cc) { return static_cast<std::uint16_t>(rr * kSide + cc); };
                quads.push_back({at(r, c), at(r, c + 1), at(r + 1, c + 1), at(r + 1, c), 0});
            }
        }
        part->polygonCount = static_cast<std::int32_t>(quads.size());
        part->surfaces.resize(1 + model::kSpareSurfaces);
        part->surfaceCount = 1;
        figure.SetPart(std::string(model::panelOrder[static_cast<std::size_t>(panel)]), std::move(part), panel);
    }
}

bool BuildFigure(model::Creature& figure, bool stress) {
    if (stress) {
        BuildStressFigure(figure);
    } else if (!bench::BuildSampleFigure(figure)) {
        return false;
    }
    return figure.PartNamed("Left forearm") != nullptr;
}

void DragStep(benchmark::State& state) {
    bench::CountingSink sink;
    model::Creature figure(sink);
    if (!BuildFigure(figure, state.range(0) != 0)) {
        state.SkipWithError("no figure");
        return;
    }
    model::MeshObject* forearm = figure.PartNamed("Left forearm");
    model::FigureHistory history;
    float from = 0;
    for (auto _ : state) {
        history.Begin(figure, "Adjust X of Left forearm");
        Drag(figure, forearm, from);
        history.Commit(figure);
        from = from > 0.5f ? 0 : from + 0.1f;
    }
}

void UndoAndRedo(benchmark::State& state) {
    bench::CountingSink sink;
    model::Creature figure(sink);
    if (!BuildFigure(figure, state.range(0) != 0)) {
        state.SkipWithError("no figure");
        return;
    }
    model::MeshObject* forearm = figure.PartNamed("Left forearm");
    model::FigureHistory history;
    history.Begin(figure, "Adjust X of Left forearm");
    Drag(figure, forearm, 0);
    history.Commit(figure);
    for (auto _ : state) {
        history.Undo(figure);
        history.Redo(figure);
    }
    const std::size_t welded = PointBytes(forearm) + PointBytes(figure.PartNamed("Left arm")) +
                               PointBytes(figure.PartNamed("Left hand"));
    state.counters["step_bytes"] = static_cast<double>(history.Bytes());
    state.counters["forearm_and_welded_point_bytes"] = static_cast<double>(welded);
}

// Argument 0: the sample figure; 1: the stress figure.
BENCHMARK(DragStep)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(UndoAndRedo)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
