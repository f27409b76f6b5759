// ApplyParameters on a dense upper body with its four neighbours present:
// the cost of one slider notification while the user drags.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "formats/object_reader.h"
#include "formats/object_writer.h"
#include "model/creature.h"
#include "../common/counting_sink.h"

namespace {

constexpr int kSeamPoints = 64;

// A seam ring of kSeamPoints points about a centre, in the plane y = cy.
std::vector<std::uint16_t> AddRing(formats::ObjectFileData& data, float cx, float cy, float cz, float radius) {
    std::vector<std::uint16_t> list;
    for (int e = 0; e < kSeamPoints; ++e) {
        const double a = 2 * 3.14159265358979 * e / kSeamPoints;
        list.push_back(static_cast<std::uint16_t>(data.points.size() / 3));
        data.points.insert(data.points.end(), {cx + radius * static_cast<float>(std::cos(a)), cy,
                                               cz + radius * static_cast<float>(std::sin(a))});
        data.normals.insert(data.normals.end(), {static_cast<float>(std::cos(a)), 0, static_cast<float>(std::sin(a))});
    }
    return list;
}

std::unique_ptr<model::MeshObject> Part(const char* type, const formats::ObjectFileData& data) {
    formats::ObjectRefusal why;
    std::unique_ptr<model::MeshObject> part = formats::ReadObjectImage(formats::WriteObjectImage(data), why);
    if (part == nullptr) return nullptr;
    part->SetObjectType(type);
    return part;
}

// Upper body seams: 0 stomach, 1 left arm, 2 neck, 3 right arm.
constexpr float kSeams[4][3] = {{0, -0.1f, 0}, {-0.12f, 0.08f, 0}, {0, 0.12f, 0}, {0.12f, 0.08f, 0}};

formats::ObjectFileData UpperBody(int pointCount) {
    formats::ObjectFileData data;
    for (int k = 0; k < 4; ++k) data.boundaryLists[k] = AddRing(data, kSeams[k][0], kSeams[k][1], kSeams[k][2], 0.03f);
    // The rest of the points on a cylinder around the trunk.
    const int rest = pointCount - static_cast<int>(data.points.size() / 3);
    const int perRing = 250;
    for (int i = 0; i < rest; ++i) {
        const double a = 2 * 3.14159265358979 * (i % perRing) / perRing;
        const float y = -0.1f + 0.2f * static_cast<float>(i / perRing) / static_cast<float>(rest / perRing + 1);
        data.points.insert(data.points.end(), {0.1f * static_cast<float>(std::cos(a)), y, 0.06f * static_cast<float>(std::sin(a))});
        data.normals.insert(data.normals.end(), {static_cast<float>(std::cos(a)), 0, static_cast<float>(std::sin(a))});
    }
    return data;
}

formats::ObjectFileData Neighbour(int list, const float* centre) {
    formats::ObjectFileData data;
    data.boundaryLists[list] = AddRing(data, centre[0], centre[1] + 0.01f, centre[2], 0.03f);
    AddRing(data, centre[0], centre[1] + 0.05f, centre[2], 0.02f);
    return data;
}

void ApplyParametersOnADensePart(benchmark::State& state) {
    const int pointCount = 65000;
    bench::CountingSink sink;
    model::Creature creature(sink);
    auto body = Part("Upper body", UpperBody(pointCount));
    model::MeshObject* b = body.get();
    creature.ConnectPart(std::move(body));
    creature.ConnectPart(Part("Stomach", Neighbour(1, kSeams[0])));
    creature.ConnectPart(Part("Left arm", Neighbour(1, kSeams[1])));
    creature.ConnectPart(Part("Neck", Neighbour(0, kSeams[2])));
    creature.ConnectPart(Part("Right arm", Neighbour(1, kSeams[3])));
    if (creature.parts.Count() != 5 || sink.shown != 0) {
        state.SkipWithError("the figure did not assemble");
        return;
    }

    int step = 0;
    for (auto _ : state) {
        // A slider drag: the factor changes by one step every notification.
        b->settings.deformFactors[model::kLockNone][model::kAxisY] = 0.01f * static_cast<float>(step++ % 50);
        creature.ApplyParameters(b);
        benchmark::DoNotOptimize(b->points.data());
    }
    state.counters["per point"] =
        benchmark::Counter(pointCount, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(ApplyParametersOnADensePart)->Unit(benchmark::kMicrosecond);

}  // namespace
