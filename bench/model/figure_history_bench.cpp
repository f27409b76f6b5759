// Undo and redo of a drag on the sample figure against the drag itself: 40
// scroll messages on the Left forearm's X bar, each a new factor applied
// and the forearm welded again, kept as one step. The counters give what
// the step keeps against the point data of the forearm and the parts
// welded to it (target: less than twice that; undo faster than the drag).
#include <benchmark/benchmark.h>

#include "../common/counting_sink.h"
#include "../common/sample_figure.h"
#include "model/creature.h"
#include "model/figure_history.h"

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

void DragStep(benchmark::State& state) {
    bench::CountingSink sink;
    model::Creature figure(sink);
    if (!bench::BuildSampleFigure(figure) || figure.PartNamed("Left forearm") == nullptr) {
        state.SkipWithError("no sample figure");
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
    if (!bench::BuildSampleFigure(figure) || figure.PartNamed("Left forearm") == nullptr) {
        state.SkipWithError("no sample figure");
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

BENCHMARK(DragStep)->Unit(benchmark::kMillisecond);
BENCHMARK(UndoAndRedo)->Unit(benchmark::kMillisecond);

}  // namespace
