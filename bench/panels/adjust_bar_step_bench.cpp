// One step of an adjust-bar drag on the "Edit BodyParts" page, from the
// thumb-track message to a finished frame: the page hosted on the in-memory
// platform with the GL view beside it, the view painted at its own size
// through OSMesa, then glFinish. Two figures: the sample figure with its
// upper body chosen, and a stress upper body of 65 000 points and 64 250
// quads with its four neighbours. Each step also reports the page and model
// time (the scroll message), the paint time, ApplyParameters alone, and the
// heap allocations per warm step (expected: none).
#include <GL/gl.h>
#include <GL/osmesa.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "formats/object_reader.h"
#include "formats/object_writer.h"
#include "../common/allocation_counter.h"
#include "../common/sample_figure.h"
#include "model/creature.h"
#include "model/part_types.h"
#include "panels/part_parameter_panel.h"
#include "resources/templates.h"
#include "ui/memory/memory_platform.h"
#include "ui/memory/memory_window.h"
#include "view/creature_view.h"


namespace {

using Clock = std::chrono::steady_clock;
using ui::memory::MemoryPlatform;
using ui::memory::MemoryWindow;

constexpr int kUpperBodyPanel = 8;
constexpr int kUpperBodyEntry = kUpperBodyPanel + 1;  // after "(none)"
const panels::AxisControls& kX = panels::kAxisControls[0];

// The view's size in pixels, as the platform gives it to the view.
int ViewWidth() { return ui::DialogUnitsToPixelsX(resources::ViewTemplate().width); }
int ViewHeight() { return ui::DialogUnitsToPixelsY(resources::ViewTemplate().height); }

std::vector<unsigned char> frameBuffer;

// ---- The stress figure: a dense upper body and its four neighbours. ----

constexpr int kSeamPoints = 64;
constexpr int kStressPoints = 65000;
constexpr double kPi = 3.14159265358979;

// A seam ring of kSeamPoints points about a centre, in the plane y = cy.
std::vector<std::uint16_t> AddRing(formats::ObjectFileData& data, float cx, float cy, float cz, float radius) {
    std::vector<std::uint16_t> list;
    for (int e = 0; e < kSeamPoints; ++e) {
        const double a = 2 * kPi * e / kSeamPoints;
        list.push_back(static_cast<std::uint16_t>(data.points.size() / 3));
        data.points.insert(data.points.end(), {cx + radius * static_cast<float>(std::cos(a)), cy,
                                               cz + radius * static_cast<float>(std::sin(a))});
        data.normals.insert(data.normals.end(), {static_cast<float>(std::cos(a)), 0, static_cast<float>(std::sin(a))});
    }
    return list;
}

// Quads joining two rows of `count` points that close on themselves.
void JoinRows(formats::ObjectFileData& data, int first, int second, int count, std::uint16_t surface) {
    for (int i = 0; i < count; ++i) {
        const int j = (i + 1) % count;
        data.polygons.push_back({static_cast<std::uint16_t>(first + i), static_cast<std::uint16_t>(first + j),
                                 static_cast<std::uint16_t>(second + j), static_cast<std::uint16_t>(second + i),
                                 surface});
    }
}

// Upper body seams: 0 stomach, 1 left arm, 2 neck, 3 right arm.
constexpr float kSeams[4][3] = {{0, -0.1f, 0}, {-0.12f, 0.08f, 0}, {0, 0.12f, 0}, {0.12f, 0.08f, 0}};

// The seam rings, then rows of 250 points on a cylinder around the trunk,
// neighbouring full rows joined by quads in four surface bands.
formats::ObjectFileData UpperBody() {
    formats::ObjectFileData data;
    for (int k = 0; k < 4; ++k) data.boundaryLists[k] = AddRing(data, kSeams[k][0], kSeams[k][1], kSeams[k][2], 0.03f);
    const int base = static_cast<int>(data.points.size() / 3);
    const int rest = kStressPoints - base;
    const int perRow = 250;
    for (int i = 0; i < rest; ++i) {
        const double a = 2 * kPi * (i % perRow) / perRow;
        const float y = -0.1f + 0.2f * static_cast<float>(i / perRow) / static_cast<float>(rest / perRow + 1);
        data.points.insert(data.points.end(),
                           {0.1f * static_cast<float>(std::cos(a)), y, 0.06f * static_cast<float>(std::sin(a))});
        data.normals.insert(data.normals.end(), {static_cast<float>(std::cos(a)), 0, static_cast<float>(std::sin(a))});
    }
    const int rows = rest / perRow;
    for (int r = 0; r + 1 < rows; ++r) {
        JoinRows(data, base + r * perRow, base + (r + 1) * perRow, perRow, static_cast<std::uint16_t>(4 * r / rows));
    }
    const std::array<std::uint8_t, 3> colours[4] = {{230, 180, 150}, {200, 150, 120}, {80, 80, 180}, {150, 150, 150}};
    for (const auto& colour : colours) data.surfaces.push_back({"Band", true, colour});
    return data;
}

// A short tube: its seam ring on the body's seam and one ring further out.
formats::ObjectFileData Neighbour(int list, const float* centre) {
    formats::ObjectFileData data;
    data.boundaryLists[list] = AddRing(data, centre[0], centre[1] + 0.01f, centre[2], 0.03f);
    AddRing(data, centre[0], centre[1] + 0.05f, centre[2], 0.02f);
    JoinRows(data, 0, kSeamPoints, kSeamPoints, 0);
    data.surfaces.push_back({"Skin", true, {200, 150, 120}});
    return data;
}

std::unique_ptr<model::MeshObject> Part(const char* type, const formats::ObjectFileData& data) {
    formats::ObjectRefusal why;
    std::unique_ptr<model::MeshObject> part = formats::ReadObjectImage(formats::WriteObjectImage(data), why);
    if (part == nullptr) return nullptr;
    part->SetObjectType(type);
    return part;
}

bool BuildStressFigure(model::Creature& creature) {
    std::unique_ptr<model::MeshObject> parts[5] = {
        Part("Upper body", UpperBody()), Part("Stomach", Neighbour(1, kSeams[0])),
        Part("Left arm", Neighbour(1, kSeams[1])), Part("Neck", Neighbour(0, kSeams[2])),
        Part("Right arm", Neighbour(1, kSeams[3]))};
    for (auto& part : parts) {
        // ConnectPart takes the part whatever it answers.
        if (part == nullptr || !creature.ConnectPart(std::move(part))) return false;
    }
    return creature.parts.Count() == 5;
}

// ---- The sample figure, which needs an upper body to drag. ----

bool BuildSampleFigure(model::Creature& creature) {
    return bench::BuildSampleFigure(creature) && creature.PartOfPanel(kUpperBodyPanel) != nullptr;
}

// ---- The page and the view on the in-memory platform. ----

class Host : public ui::WindowHandler {};

struct Scene {
    MemoryPlatform platform;
    model::Creature creature{platform};
    view::CreatureView view{platform};
    panels::PartParameterPanel page;
    Host host;
    // Declared last, so that the windows go before their handlers.
    std::unique_ptr<MemoryWindow> top;
    MemoryWindow* viewWindow = nullptr;
    MemoryWindow* pageWindow = nullptr;
    model::MeshObject* part = nullptr;  // the upper body
    const char* problem = nullptr;      // why the scene cannot run

    ~Scene() {
        if (top) top->DetachHandlers();
    }
};

// The page and the view as the main window sets them up, the upper body
// chosen in the page's list and the view painted once.
std::unique_ptr<Scene> MakeScene(bool stress) {
    auto scene = std::make_unique<Scene>();
    Scene& s = *scene;
    const bool built = stress ? BuildStressFigure(s.creature) : BuildSampleFigure(s.creature);
    if (!built) {
        s.problem = stress ? "the stress figure did not assemble" : "no sample object library";
        return scene;
    }
    s.platform.glAvailable = true;  // the OSMesa context is current
    s.top = s.platform.CreateTopLevel({1, "host", 400, 400, false, {}}, &s.host);
    s.viewWindow = static_cast<MemoryWindow*>(s.platform.CreateGlView(resources::ViewTemplate(), s.view, *s.top));
    s.pageWindow = static_cast<MemoryWindow*>(
        s.platform.CreateChildDialog(resources::PartParameterTemplate(), s.page, *s.top, 0));
    if (s.viewWindow == nullptr || s.pageWindow == nullptr || !s.view.glReady) {
        s.problem = "the page or the view could not be created";
        return scene;
    }
    s.view.creature = &s.creature;
    s.view.state.lightLevel = 0.5f;
    s.view.state.yaw = 0.3f;
    s.view.state.pitch = 0.2f;
    s.page.creature = &s.creature;
    s.page.view = &s.view;
    if (!s.pageWindow->ChooseEntry(panels::kIdObjectList, kUpperBodyEntry) ||
        (s.part = s.creature.PartOfPanel(kUpperBodyPanel)) == nullptr || !s.viewWindow->Paint()) {
        s.problem = "the upper body could not be chosen";
    }
    if (!s.platform.messages.empty()) {
        std::fprintf(stderr, "%s: %s\n", s.platform.messages.front().caption.c_str(),
                     s.platform.messages.front().text.c_str());
    }
    return scene;
}

// The thumb's place at mouse move `step`: one position per move, to and
// fro between -25 and 25, so that the factor stays within a sane range.
int DragPosition(long step) {
    const long phase = step % 100;
    return static_cast<int>(phase < 25 ? phase : phase < 75 ? 50 - phase : phase - 100);
}

// One mouse move: the thumb-track message, then the repaint it asked for.
bool Step(Scene& s, long step) {
    if (!s.pageWindow->Scroll(kX.adjustBar, ui::kScrollThumbTrack, DragPosition(step))) return false;
    if (!s.viewWindow->PaintPending() || !s.viewWindow->Paint()) return false;
    glFinish();
    return true;
}

// Share of the frame's pixels the figure covers (the background is black).
double CoveredShare() {
    long covered = 0;
    const long pixels = static_cast<long>(frameBuffer.size() / 4);
    for (long i = 0; i < pixels; ++i) {
        const unsigned char* p = &frameBuffer[4 * static_cast<std::size_t>(i)];
        if (p[0] != 0 || p[1] != 0 || p[2] != 0) ++covered;
    }
    return static_cast<double>(covered) / static_cast<double>(pixels);
}

long QuadCount(const model::Creature& creature) {
    long quads = 0;
    for (const model::MeshObject& part : creature.parts) quads += static_cast<long>(part.polygons.size());
    return quads;
}

// ApplyParameters alone on the same drag, in milliseconds per call.
double ModelMs(Scene& s) {
    float saved[3][3];
    std::memcpy(saved, s.part->settings.deformFactors, sizeof saved);
    long calls = 0;
    const Clock::time_point start = Clock::now();
    Clock::duration spent{};
    while (calls < 10 || spent < std::chrono::milliseconds(200)) {
        s.part->settings.deformFactors[model::kLockNone][model::kAxisX] = 0.01f * static_cast<float>(DragPosition(calls));
        s.creature.ApplyParameters(s.part);
        benchmark::DoNotOptimize(s.part->points.data());
        ++calls;
        spent = Clock::now() - start;
    }
    std::memcpy(s.part->settings.deformFactors, saved, sizeof saved);
    s.creature.ApplyParameters(s.part);
    return std::chrono::duration<double, std::milli>(spent).count() / static_cast<double>(calls);
}

void AdjustBarStep(benchmark::State& state, Scene* scene) {
    if (scene->problem != nullptr) {
        state.SkipWithError(scene->problem);
        return;
    }
    Scene& s = *scene;
    // Warm: one whole swing of the thumb, so that every buffer has grown.
    long step = 0;
    for (; step < 100; ++step) {
        if (!Step(s, step)) {
            state.SkipWithError("the page did not take the scroll message or asked for no repaint");
            return;
        }
    }
    if (CoveredShare() == 0) {
        state.SkipWithError("the figure is not in the frame");
        return;
    }
    Clock::duration messageTime{};
    Clock::duration paintTime{};
    const long allocationsBefore = allocationCount.load();
    for (auto _ : state) {
        const Clock::time_point t0 = Clock::now();
        s.pageWindow->Scroll(kX.adjustBar, ui::kScrollThumbTrack, DragPosition(step++));
        const Clock::time_point t1 = Clock::now();
        s.viewWindow->Paint();
        glFinish();
        paintTime += Clock::now() - t1;
        messageTime += t1 - t0;
    }
    const long allocations = allocationCount.load() - allocationsBefore;
    const double steps = static_cast<double>(state.iterations());
    const double messageMs = std::chrono::duration<double, std::milli>(messageTime).count() / steps;
    const double drawMs = std::chrono::duration<double, std::milli>(paintTime).count() / steps;
    const double stepMs = messageMs + drawMs;
    const double modelMs = ModelMs(s);
    state.counters["allocs_per_step"] = static_cast<double>(allocations) / steps;
    state.counters["message_ms"] = messageMs;
    state.counters["model_ms"] = modelMs;
    state.counters["model_share"] = stepMs > 0 ? modelMs / stepMs : 0;
    state.counters["draw_ms"] = drawMs;
    state.counters["draw_share"] = stepMs > 0 ? drawMs / stepMs : 0;
    state.counters["part_points"] = static_cast<double>(s.part->points.size() / 3);
    state.counters["figure_quads"] = static_cast<double>(QuadCount(s.creature));
    state.counters["covered"] = CoveredShare();
}

}  // namespace

int main(int argc, char** argv) {
    OSMesaContext context = OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, 0, nullptr);
    frameBuffer.assign(4 * static_cast<std::size_t>(ViewWidth()) * ViewHeight(), 0);
    if (context == nullptr ||
        !OSMesaMakeCurrent(context, frameBuffer.data(), GL_UNSIGNED_BYTE, ViewWidth(), ViewHeight())) {
        std::fprintf(stderr, "no OSMesa context\n");
        return 1;
    }
    std::unique_ptr<Scene> sample = MakeScene(false);
    std::unique_ptr<Scene> stress = MakeScene(true);
    if (allocationCount.load() == 0) {
        std::fprintf(stderr, "operator new is not counted: the allocation figures mean nothing\n");
        return 1;
    }
    if (sample->problem != nullptr) {
        std::fprintf(stderr, "sample figure: %s (library %s)\n", sample->problem, bench::SampleLibraryDir().c_str());
    }
    for (auto [scene, name] :
         {std::pair{sample.get(), "AdjustBarStep/sample"}, std::pair{stress.get(), "AdjustBarStep/stress"}}) {
        benchmark::RegisterBenchmark(name, AdjustBarStep, scene)->Unit(benchmark::kMillisecond)->UseRealTime();
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    sample.reset();
    stress.reset();
    OSMesaDestroyContext(context);
    return 0;
}
