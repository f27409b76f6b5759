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
#include "../common/stress_figure.h"
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

// The figure of the benchmark's argument (0: sample, 1: stress), its
// history, and the drag step on its Left forearm.
struct DragRig {
    explicit DragRig(const benchmark::State& state) {
        if (state.range(0) != 0) {
            bench::BuildStressFigure(figure);
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
