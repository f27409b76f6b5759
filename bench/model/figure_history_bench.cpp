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

// The figure of the benchmark's argument (0: sample, 1: stress), its
// history, and the drag step on its Left forearm.
struct DragRig {
    explicit DragRig(const benchmark::State& state) {
        if (state.range(0) != 0) {
            BuildStressFigure(figure);
        } else {
            bench::BuildSampleFigure(figure);
        }
        forearm = figure.PartNamed("Left forearm");
    }
    void Step(float from) {
        history.Begin(figure, "Adjust X of Left forearm");
        Drag(figure, forearm, from);
        history.Commit(figure);
    }

    bench::CountingSink sink;
    model::Creature figure{sink};
    model::FigureHistory history;
    model::MeshObject* forearm = nullptr;
};

void DragStep(benchmark::State& state) {
    DragRig rig(state);
    if (rig.forearm == nullptr) {
        state.SkipWithError("no figure with a Left forearm");
        return;
    }
    float from = 0;
    for (auto _ : state) {
        rig.Step(from);
        from = from > 0.5f ? 0 : from + 0.1f;
    }
}

void UndoAndRedo(benchmark::State& state) {
    DragRig rig(state);
    if (rig.forearm == nullptr) {
        state.SkipWithError("no figure with a Left forearm");
        return;
    }
    rig.Step(0);
    for (auto _ : state) {
        rig.history.Undo(rig.figure);
        rig.history.Redo(rig.figure);
    }
    model::Creature& figure = rig.figure;
    model::FigureHistory& history = rig.history;
    model::MeshObject* forearm = rig.forearm;
    const std::size_t welded = PointBytes(forearm) + PointBytes(figure.PartNamed("Left arm")) +
                               PointBytes(figure.PartNamed("Left hand"));
    state.counters["step_bytes"] = static_cast<double>(history.Bytes());
    state.counters["forearm_and_welded_point_bytes"] = static_cast<double>(welded);
}

// Argument 0: the sample figure; 1: the stress figure.
BENCHMARK(DragStep)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(UndoAndRedo)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
