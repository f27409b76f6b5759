// Milliseconds per frame of the view at its own size, rendered off-screen
// by Mesa, for a sample figure and a stress figure (22 parts of 16 000 quads)
// in the three shading modes, three ways: one begin/end per quad, plain
// client-side arrays over the parts' own data (indices prepared once: the
// speed arrays allow, not the exact picture), and the program's own drawing.
// Each frame ends with glFinish, so the time includes OpenGL's work. The
// program's way also reports its own share of the frame (placement and
// transform of the points) and the heap allocations per warm frame.
#include <GL/gl.h>
#include <GL/osmesa.h>
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "../common/counting_sink.h"
#include "../common/allocation_counter.h"
#include "../common/sample_figure.h"
#include "model/creature.h"
#include "model/part_types.h"
#include "ui/dialog_template.h"
#include "view/creature_view.h"
#include "view/placement.h"


namespace {

bench::CountingSink sink;

int ViewWidth() { return ui::DialogUnitsToPixelsX(365); }
int ViewHeight() { return ui::DialogUnitsToPixelsY(343); }

// A sphere of rings × segments quads in four surface bands, with normals.
std::unique_ptr<model::MeshObject> MakeSphere(float cx, float cy, float cz, float radius, int rings,
                                              int segments) {
    const double pi = std::acos(-1.0);
    auto part = std::make_unique<model::MeshObject>();
    for (int ring = 0; ring <= rings; ++ring) {
        double theta = pi * ring / rings;
        for (int segment = 0; segment <= segments; ++segment) {
            double phi = 2 * pi * segment / segments;
            float nx = static_cast<float>(std::sin(theta) * std::cos(phi));
            float ny = static_cast<float>(std::cos(theta));
            float nz = static_cast<float>(std::sin(theta) * std::sin(phi));
            part->points.insert(part->points.end(), {cx + radius * nx, cy + radius * ny, cz + radius * nz});
            part->normals.insert(part->normals.end(), {nx, ny, nz});
        }
    }
    for (int ring = 0; ring < rings; ++ring) {
        for (int segment = 0; segment < segments; ++segment) {
            auto at = [&](int r, int s) { return static_cast<std::uint16_t>(r * (segments + 1) + s); };
            auto surface = static_cast<std::uint16_t>(4 * ring / rings);
            part->polygons.push_back({at(ring, segment), at(ring + 1, segment), at(ring + 1, segment + 1),
                                      at(ring, segment + 1), surface});
        }
    }
    const float colours[4][3] = {{0.9f, 0.7f, 0.6f}, {0.8f, 0.6f, 0.5f}, {0.3f, 0.3f, 0.7f}, {0.6f, 0.6f, 0.6f}};
    for (const auto& colour : colours) {
        model::SurfaceRecord surface;
        surface.colour = {colour[0], colour[1], colour[2]};
        part->surfaces.push_back(surface);
    }
    part->pointCount = static_cast<std::int32_t>(part->points.size() / 3);
    part->polygonCount = static_cast<std::int32_t>(part->polygons.size());
    part->surfaceCount = 4;
    part->restPoints = part->points;
    return part;
}

// 22 dense parts laid out roughly as a figure inside the view.
void BuildStressFigure(model::Creature& creature) {
    for (int i = 0; i < model::kPartTypeCount; ++i) {
        float x = -0.15f + 0.3f * static_cast<float>(i % 6) / 5.0f;
        float y = 0.15f - 0.3f * static_cast<float>(i / 6) / 3.0f;
        // 125 × 128 = 16 000 quads, 16 254 points.
        creature.parts.Append(MakeSphere(x, y, 0.0f, 0.045f, 125, 128));
    }
}


enum class Way { PerQuad, ClientArrays, Program };

// The client-array reference: indexed draws over the parts' own arrays.
struct ArrayReference {
    struct Run {
        int first;
        int count;
        float colour[4];
    };
    struct Part {
        std::vector<std::uint16_t> indices;
        std::vector<Run> runs;
    };
    std::vector<Part> parts;
    view::PlacedPoints placed;  // the current part under the view's turn

    void Prepare(model::Creature& creature) {
        parts.clear();
        for (model::MeshObject& part : creature.parts) {
            Part prepared;
            int lastSurface = -1;
            for (const model::Polygon& p : part.polygons) {
                if (p.surface != lastSurface) {
                    Run run{static_cast<int>(prepared.indices.size()), 0, {0.5f, 0.5f, 0.5f, 1.0f}};
                    if (p.surface < part.surfaces.size()) {
                        std::copy(part.surfaces[p.surface].colour.begin(), part.surfaces[p.surface].colour.end(),
                                  run.colour);
                    }
                    prepared.runs.push_back(run);
                    lastSurface = p.surface;
                }
                prepared.indices.insert(prepared.indices.end(), {p.a, p.b, p.c, p.d});
                prepared.runs.back().count += 4;
            }
            parts.push_back(std::move(prepared));
        }
    }

    void Draw(const model::Creature& creature, const view::CreatureView& view) {
        const view::ViewState& state = view.state;
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glPushMatrix();
        glScalef(state.zoom, state.zoom, -state.zoom);
        const float level = state.lightLevel;
        const GLfloat ambient[4] = {level, level, level, 0.1f};
        const GLfloat diffuse[4] = {level, level, level, 0.4f};
        const bool flat = state.drawMode == view::kDrawFlat;
        const GLfloat smoothPosition[4] = {-114.0f, 14.0f, -114.0f, 1.0f};
        const GLfloat flatPosition[4] = {-4.0f, 4.0f, -4.0f, 1.0f};
        const GLfloat black[4] = {0, 0, 0, 1};
        const GLfloat white[4] = {1, 1, 1, 1};
        const bool wire = state.drawMode == view::kDrawWireframe;
        const view::Placement placement = view::PlacementOf(state);
        std::size_t index = 0;
        for (const model::MeshObject& part : creature.parts) {
            view::PlacePoints(part, placement, placed);
            glEnableClientState(GL_VERTEX_ARRAY);
            glVertexPointer(3, GL_FLOAT, 0, placed.points.data());
            if (wire) {
                glDisable(GL_LIGHTING);
                glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
                glColor3fv(state.wireColor);
                glDrawElements(GL_QUADS, static_cast<GLsizei>(parts[index].indices.size()), GL_UNSIGNED_SHORT,
                               parts[index].indices.data());
                glEnable(GL_LIGHTING);
            } else {
                glShadeModel(flat ? GL_FLAT : GL_SMOOTH);
                glLightfv(GL_LIGHT0, GL_POSITION, flat ? flatPosition : smoothPosition);
                glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
                glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
                glLightfv(GL_LIGHT0, GL_SPECULAR, flat ? white : black);
                glEnable(GL_LIGHTING);
                glEnable(GL_LIGHT0);
                glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
                glEnableClientState(GL_NORMAL_ARRAY);
                glNormalPointer(GL_FLOAT, 0, placed.normals.data());
                for (const Run& run : parts[index].runs) {
                    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, run.colour);
                    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, black);
                    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 0);
                    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, black);
                    glDrawElements(GL_QUADS, run.count, GL_UNSIGNED_SHORT, parts[index].indices.data() + run.first);
                }
                glDisableClientState(GL_NORMAL_ARRAY);
            }
            glDisableClientState(GL_VERTEX_ARRAY);
            ++index;
        }
        glPopMatrix();
    }
};

struct Scene {
    model::Creature creature{sink};
    view::CreatureView view{sink};
    ArrayReference arrays;
    bool ready = false;
};

Scene* MakeScene(bool stress) {
    auto* scene = new Scene();
    scene->view.OnCreate();
    scene->view.OnGlInit(ui::GlStatus::Ok);
    scene->view.OnSize(ViewWidth(), ViewHeight());
    scene->view.creature = &scene->creature;
    scene->view.state.lightLevel = 0.5f;
    scene->view.state.wireColor[0] = scene->view.state.wireColor[1] = scene->view.state.wireColor[2] = 0.8f;
    scene->view.state.yaw = 0.3f;
    scene->view.state.pitch = 0.2f;
    if (stress) {
        BuildStressFigure(scene->creature);
        scene->ready = true;
    } else {
        scene->ready = bench::BuildSampleFigure(scene->creature);
    }
    if (scene->ready) {
        scene->arrays.Prepare(scene->creature);
    }
    return scene;
}

long QuadCount(model::Creature& creature) {
    long quads = 0;
    for (const model::MeshObject& part : creature.parts) quads += static_cast<long>(part.polygons.size());
    return quads;
}

void Frame(Scene& scene, Way way) {
    switch (way) {
        case Way::PerQuad:
            scene.view.drawPath = view::DrawPath::PerQuad;
            scene.view.DrawFrame();
            break;
        case Way::ClientArrays:
            scene.arrays.Draw(scene.creature, scene.view);
            break;
        case Way::Program:
            scene.view.drawPath = view::DrawPath::Batched;
            scene.view.DrawFrame();
            break;
    }
    glFinish();
}

void FrameBenchmark(benchmark::State& state, Scene* scene, int mode, Way way) {
    if (!scene->ready) {
        state.SkipWithError("sample object library not found");
        return;
    }
    scene->view.state.drawMode = mode;
    Frame(*scene, way);  // warm: buffers grown, shaders compiled
    for (auto _ : state) {
        Frame(*scene, way);
    }
    state.counters["quads"] = static_cast<double>(QuadCount(scene->creature));
    if (way != Way::Program) {
        return;
    }
    // The program's own work in a frame: placement of every part.
    using Clock = std::chrono::steady_clock;
    const int rounds = 20;
    const view::Placement placement = view::PlacementOf(scene->view.state);
    view::PlacedPoints placed;
    Clock::time_point start = Clock::now();
    for (int round = 0; round < rounds; ++round) {
        for (const model::MeshObject& part : scene->creature.parts) view::PlacePoints(part, placement, placed);
    }
    double ownMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count() / rounds;
    long allocationsBefore = allocationCount.load();
    start = Clock::now();
    for (int round = 0; round < 5; ++round) {
        Frame(*scene, way);
    }
    double frameMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count() / 5;
    state.counters["allocs_per_frame"] = static_cast<double>(allocationCount.load() - allocationsBefore) / 5;
    state.counters["own_ms"] = ownMs;
    state.counters["own_share"] = frameMs > 0 ? ownMs / frameMs : 0;
}

}  // namespace

int main(int argc, char** argv) {
    // Mesa's indexed draws over client arrays allocate and free large blocks
    // on every draw; with glibc's defaults those come from fresh pages while
    // the heap is young, and the ways' times depended on which ran before.
    // One steady heap for all of them.
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    OSMesaContext context = OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, 0, nullptr);
    std::vector<unsigned char> buffer(4 * static_cast<std::size_t>(ViewWidth()) * ViewHeight());
    if (context == nullptr ||
        !OSMesaMakeCurrent(context, buffer.data(), GL_UNSIGNED_BYTE, ViewWidth(), ViewHeight())) {
        std::fprintf(stderr, "no OSMesa context\n");
        return 1;
    }
    std::unique_ptr<Scene> sample(MakeScene(false));
    std::unique_ptr<Scene> stress(MakeScene(true));
    if (!sample->ready) {
        std::fprintf(stderr, "sample figure skipped: no object library at %s\n", bench::SampleLibraryDir().c_str());
    }
    const char* modeNames[3] = {"smooth", "flat", "wireframe"};
    const struct {
        Way way;
        const char* name;
    } ways[] = {{Way::PerQuad, "per_quad"}, {Way::ClientArrays, "client_arrays"}, {Way::Program, "program"}};
    for (auto [scene, figure] : {std::pair{sample.get(), "sample"}, std::pair{stress.get(), "stress"}}) {
        if (!scene->ready) {
            continue;
        }
        for (int mode = 0; mode < 3; ++mode) {
            for (const auto& way : ways) {
                std::string name = std::string(figure) + "/" + modeNames[mode] + "/" + way.name;
                benchmark::RegisterBenchmark(name.c_str(), FrameBenchmark, scene, mode, way.way)
                    ->Unit(benchmark::kMillisecond)
                    ->UseRealTime();
            }
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    sample.reset();
    stress.reset();
    OSMesaDestroyContext(context);
    return 0;
}
