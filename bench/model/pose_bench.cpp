// Posing: the figure skinned into the t-pose (every point moved and every
// normal turned by its joints' blend), on the sample figure and on the
// stress figure of 22 parts of 16 129 quads (target: under 10 ms); and the
// whole posed copy (copying the parts, the skeleton and the weights too).
#include <benchmark/benchmark.h>

#include "../common/counting_sink.h"
#include "../common/sample_figure.h"
#include "../common/stress_figure.h"
#include "model/creature.h"
#include "model/pose.h"
#include "model/skeleton.h"

namespace {

struct PoseRig {
    explicit PoseRig(const benchmark::State& state) {
        if (state.range(0) != 0) {
            bench::BuildStressFigure(figure);
        } else {
            bench::BuildSampleFigure(figure);
        }
        skeleton = model::BuildSkeleton(figure);
        model::BuiltInPose("t-pose", skeleton, pose);
        // The stress figure's grids hang from no seams: every joint turns.
        for (auto& rotation : pose.rotations) {
            if (!rotation) rotation = model::QuaternionFromDegrees(10, 5, 0);
        }
        weights = model::ComputeSkinWeights(figure, skeleton);
        transforms = model::PoseTransforms(skeleton, pose);
    }

    bench::CountingSink sink;
    model::Creature figure{sink};
    model::Skeleton skeleton;
    model::Pose pose;
    model::SkinWeights weights;
    std::vector<model::RigidTransform> transforms;
};

void Skinning(benchmark::State& state) {
    PoseRig rig(state);
    const auto posed = model::PosedCopy(rig.figure, model::Pose{});
    for (auto _ : state) {
        // Always from the rest points, as a posed copy is.
        state.PauseTiming();
        for (int p = 0; p < rig.figure.parts.Count(); ++p) {
            posed->PartAt(p)->points = rig.figure.PartAt(p)->points;
            posed->PartAt(p)->normals = rig.figure.PartAt(p)->normals;
        }
        state.ResumeTiming();
        model::ApplyPose(*posed, rig.weights, rig.transforms);
        benchmark::DoNotOptimize(posed->PartAt(0)->points.data());
    }
    std::size_t points = 0;
    for (const model::MeshObject& part : rig.figure.parts) points += part.points.size() / 3;
    state.counters["points"] = static_cast<double>(points);
}

void PosedCopy(benchmark::State& state) {
    PoseRig rig(state);
    for (auto _ : state) benchmark::DoNotOptimize(model::PosedCopy(rig.figure, rig.pose));
}

// Argument 0: the sample figure; 1: the stress figure.
BENCHMARK(Skinning)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(PosedCopy)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
