// Export speed in MB/s against straightforward writers, in one run:
//  - .3ds of the largest figure the format holds (22 parts, about 65 000
//    vertices, 65 000 triangles) against a writer that puts every value with
//    its own fwrite and seeks back to fill in the lengths;
//  - DXF of the stress figure (22 parts of 16 000 quads) against fprintf per
//    value with a flush after every line, and the same without the flushes;
//  - seam merging by lookup against scanning the neighbour's faces, on
//    figures of growing seam length;
//  - the sample figure and the stress figure to glTF binary, OBJ + MTL and
//    binary STL beside the .3ds (sample only) and DXF writers, in MB/s of
//    output, each against the DXF writer's rate.
// Every reference must write the same bytes (checked). The program's own
// exports go through the atomic file and end with fsync, as they do for the
// user; the references do not sync.
//   export_bench [folder for the files; default /dev/shm, a disk folder
//                 shows the cost of syncing each file too]
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "../common/counting_sink.h"
#include "../common/allocation_counter.h"
#include "../common/sample_figure.h"
#include "formats/export_3ds.h"
#include "formats/export_dxf.h"
#include "formats/export_glb.h"
#include "formats/export_modern_figure.h"
#include "formats/export_obj.h"
#include "formats/export_stl.h"
#include "formats/mesh_exports.h"
#include "formats/merged_figure.h"
#include "model/connection_tables.h"
#include "model/creature.h"
#include "model/part_types.h"
#include "seam_scan.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

bench::CountingSink sink;

// Seconds of the best of `runs` calls.
double Best(int runs, const std::function<void()>& run) {
    double best = 1e30;
    for (int r = 0; r < runs; ++r) {
        const auto start = Clock::now();
        run();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

std::vector<char> Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Report(const char* what, double seconds, std::uintmax_t bytes, double against = 0) {
    const double rate = static_cast<double>(bytes) / 1e6 / seconds;
    std::printf("  %-44s %9.1f ms %9.1f MB/s", what, seconds * 1e3, rate);
    if (against > 0) std::printf("   x%.1f", against / seconds);
    std::printf("\n");
}

// ---- figures ----------------------------------------------------------

std::unique_ptr<model::MeshObject> NewPart(int typeId) {
    auto part = std::make_unique<model::MeshObject>();
    if (typeId >= 0) {
        part->SetObjectType(std::string(model::partTypeNames[static_cast<std::size_t>(typeId)]));
        part->SetTypeId(typeId);
    }
    return part;
}

void Finish(model::MeshObject& part, int surfaces) {
    for (int s = 0; s < surfaces; ++s) {
        model::SurfaceRecord surface;
        surface.name = (part.objectType.empty() ? std::string("Band") : part.objectType) + " " + std::to_string(s);
        surface.colour = {0.2f * static_cast<float>(s % 5), 0.5f, 0.9f};
        part.surfaces.push_back(surface);
    }
    part.pointCount = static_cast<std::int32_t>(part.points.size() / 3);
    part.polygonCount = static_cast<std::int32_t>(part.polygons.size());
    part.surfaceCount = surfaces;
    part.restPoints = part.points;
}

// A sphere of rings × segments quads in four surface bands (as the drawing
// benchmark's stress figure).
std::unique_ptr<model::MeshObject> Sphere(float cx, float cy, float radius, int rings, int segments) {
    const double pi = std::acos(-1.0);
    auto part = NewPart(-1);
    for (int ring = 0; ring <= rings; ++ring) {
        const double theta = pi * ring / rings;
        for (int segment = 0; segment <= segments; ++segment) {
            const double phi = 2 * pi * segment / segments;
            part->points.insert(part->points.end(),
                                {cx + radius * static_cast<float>(std::sin(theta) * std::cos(phi)),
                                 cy + radius * static_cast<float>(std::cos(theta)),
                                 radius * static_cast<float>(std::sin(theta) * std::sin(phi))});
        }
    }
    for (int ring = 0; ring < rings; ++ring) {
        for (int segment = 0; segment < segments; ++segment) {
            auto at = [&](int r, int s) { return static_cast<std::uint16_t>(r * (segments + 1) + s); };
            part->polygons.push_back({at(ring, segment), at(ring + 1, segment), at(ring + 1, segment + 1),
                                      at(ring, segment + 1), static_cast<std::uint16_t>(4 * ring / rings)});
        }
    }
    Finish(*part, 4);
    return part;
}

// 22 parts of 16 000 quads: 352 000 3DFACEs.
void StressFigure(model::Creature& creature) {
    for (int i = 0; i < model::kPartTypeCount; ++i) {
        const float x = -0.15f + 0.3f * static_cast<float>(i % 6) / 5.0f;
        const float y = 0.15f - 0.3f * static_cast<float>(i / 6) / 3.0f;
        creature.parts.Append(Sphere(x, y, 0.045f, 125, 128));
    }
}

// A grid of rows × columns points for a part type; boundary list k is row k
// of the grid, so every seam of the figure is `columns` points long.
std::unique_ptr<model::MeshObject> Grid(int typeId, int rows, int columns, int surfaces) {
    auto part = NewPart(typeId);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            part->points.insert(part->points.end(), {static_cast<float>(c) * 0.001f + static_cast<float>(typeId),
                                                     static_cast<float>(r) * 0.37f, -0.0000125f * static_cast<float>(c)});
        }
    }
    auto at = [&](int r, int c) { return static_cast<std::uint16_t>(r * columns + c); };
    for (int r = 0; r + 1 < rows; ++r) {
        for (int c = 0; c + 1 < columns; ++c) {
            part->polygons.push_back({at(r, c), at(r, c + 1), at(r + 1, c + 1), at(r + 1, c),
                                      static_cast<std::uint16_t>((r + c) % surfaces)});
        }
    }
    const model::ConnectionRow& row = model::ConnectionTable[static_cast<std::size_t>(typeId)];
    for (int k = 0; k < row.seamCount; ++k) {
        for (int c = 0; c < columns; ++c) part->boundaryLists[static_cast<std::size_t>(k)].push_back(at(k % rows, c));
    }
    Finish(*part, surfaces);
    return part;
}

// All 22 types, in panel order, each a grid with seams `columns` long.
void SeamedFigure(model::Creature& creature, int rows, int columns, int surfaces) {
    for (int panel = 0; panel < model::kPartTypeCount; ++panel) {
        creature.parts.Append(Grid(model::panelToTypeId[static_cast<std::size_t>(panel)], rows, columns, surfaces));
    }
}

// ---- straightforward writers --------------------------------------------

// .3ds with one fwrite per value and the lengths filled in by seeking back.
void Reference3ds(model::Creature& creature, const fs::path& path) {
    formats::MergedFigure figure;
    figure.Prepare(creature);
    figure.OrderMaterials();
    figure.ListVertices();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    auto u16 = [&](unsigned v) {
        const unsigned char b[2] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)};
        std::fwrite(b, 1, 2, f);
    };
    auto u32 = [&](std::uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    };
    auto f32 = [&](float v) {
        std::uint32_t bits;
        std::memcpy(&bits, &v, 4);
        u32(bits);
    };
    auto chunk = [&](unsigned id, std::uint32_t length) {
        u16(id);
        u32(length);
    };
    auto name = [&](const std::string& text) {
        const std::size_t n = std::min<std::size_t>(text.size(), 15);
        std::fwrite(text.data(), 1, n, f);
        std::fputc(0, f);
        return static_cast<std::uint32_t>(n);
    };
    auto colour = [](float c) { return static_cast<unsigned char>(std::clamp(c * 255.0f, 0.0f, 255.0f)); };
    auto fill = [&](long at) {
        const long end = std::ftell(f);
        std::fseek(f, at + 2, SEEK_SET);
        u32(static_cast<std::uint32_t>(end - at));
        std::fseek(f, end, SEEK_SET);
    };
    chunk(0x4D4D, 0);
    chunk(0x0002, 10);
    u32(3);
    chunk(0x3D3D, 0);
    chunk(0x3D3E, 10);
    u32(3);
    for (std::uint32_t s : figure.materialOrder) {
        const model::SurfaceRecord& r = *figure.surfaces[s].record;
        const std::uint32_t n = static_cast<std::uint32_t>(std::min<std::size_t>(r.name.size(), 15));
        chunk(0xAFFF, 94 + n);
        chunk(0xA000, 7 + n);
        name(r.name);
        for (unsigned id : {0xA010u, 0xA020u, 0xA030u}) {
            chunk(id, 15);
            chunk(0x0011, 9);
            for (float c : r.colour) std::fputc(colour(c), f);
        }
        for (unsigned id : {0xA040u, 0xA050u}) {
            chunk(id, 14);
            chunk(0x0030, 8);
            u16(0);
        }
        chunk(0xA100, 8);
        u16(1);
    }
    chunk(0x0100, 10);
    f32(1.0f);
    const long named = std::ftell(f);
    chunk(0x4000, 0);
    std::fwrite("NECK      ", 1, 11, f);
    const long triangles = std::ftell(f);
    chunk(0x4100, 0);
    chunk(0x4110, static_cast<std::uint32_t>(8 + 12 * figure.vertices.size()));
    u16(static_cast<unsigned>(figure.vertices.size()));
    for (std::uint32_t p : figure.vertices) {
        for (int axis = 0; axis < 3; ++axis) f32(figure.Point(p)[axis]);
    }
    const long faceArray = std::ftell(f);
    chunk(0x4120, 0);
    u16(static_cast<unsigned>(2 * figure.faces.size()));
    for (const formats::MergedFace& face : figure.faces) {
        const auto v = [&](int c) { return figure.vertexNumber[face.corners[static_cast<std::size_t>(c)]]; };
        u16(v(0)), u16(v(1)), u16(v(2)), u16(6), u16(v(2)), u16(v(3)), u16(v(0)), u16(6);
    }
    for (std::uint32_t s : figure.materialOrder) {
        const std::string& entry = figure.surfaces[s].record->name;
        std::vector<std::uint32_t> polygons;
        for (std::uint32_t i = 0; i < figure.faces.size(); ++i) {
            if (figure.surfaces[figure.faces[i].surface].record->name == entry) polygons.push_back(i);
        }
        if (polygons.empty()) continue;
        const std::uint32_t n = static_cast<std::uint32_t>(std::min<std::size_t>(entry.size(), 15));
        chunk(0x4130, static_cast<std::uint32_t>(9 + n + 4 * polygons.size()));
        name(entry);
        u16(static_cast<unsigned>(2 * polygons.size()));
        for (std::uint32_t i : polygons) u16(2 * i), u16(2 * i + 1);
    }
    fill(faceArray);
    fill(triangles);
    fill(named);
    fill(6 + 10);
    fill(0);
    std::fclose(f);
}

// "%g" from the C library with the exponent widened to three digits.
const char* WideG(double v, char* text) {
    int n = std::snprintf(text, 32, "%g", v);
    if (char* e = std::strchr(text, 'e'); e != nullptr && text + n - (e + 2) < 3) {
        std::memmove(e + 3, e + 2, static_cast<std::size_t>(text + n - (e + 2)) + 1);
        e[2] = '0';
    }
    return text;
}

// DXF with one fprintf per value, optionally flushing after every line.
void ReferenceDxf(model::Creature& creature, const fs::path& path, bool flushEveryLine) {
    formats::MergedFigure figure;
    figure.Prepare(creature);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    auto line = [&](const char* text) {
        std::fprintf(f, "%s\r\n", text);
        if (flushEveryLine) std::fflush(f);
    };
    auto code = [&](int value) {
        std::fprintf(f, "%d\r\n", value);
        if (flushEveryLine) std::fflush(f);
    };
    for (const char* text : {"0", "SECTION", "2", "HEADER", "999", "DXF File Generated by Morphwright 1.6", "0",
                             "ENDSEC", "0", "SECTION", "2", "TABLES", "0", "ENDSEC", "0", "SECTION", "2", "BLOCKS",
                             "0", "ENDSEC", "0", "SECTION", "2", "ENTITIES"}) {
        line(text);
    }
    char number[40];
    for (const formats::MergedFace& face : figure.faces) {
        code(0);
        line("3DFACE");
        code(8);
        line("0");
        code(70);
        line("0");
        for (int corner = 0; corner < 4; ++corner) {
            const float* xyz = figure.Point(face.corners[static_cast<std::size_t>(corner)]);
            for (int axis = 0; axis < 3; ++axis) {
                code(10 * (axis + 1) + corner);
                line(WideG(xyz[axis], number));
            }
        }
    }
    for (const char* text : {"0", "ENDSEC", "0", "EOF"}) line(text);
    std::fclose(f);
}

// ---- the runs -----------------------------------------------------------

bool Same(const fs::path& a, const fs::path& b) {
    const bool same = Bytes(a) == Bytes(b);
    if (!same) std::printf("  !! %s and %s differ\n", a.filename().c_str(), b.filename().c_str());
    return same;
}

bool Largest3ds(const fs::path& folder) {
    model::Creature creature(sink);
    // Rows of 2 × 1 477 points: 22 × 2 954 = 64 988 points, 22 × 1 476 =
    // 32 472 quads (64 944 triangles), seams of 1 477 points.
    SeamedFigure(creature, 2, 1477, 6);
    // Without the seams every point is a vertex.
    for (model::MeshObject& part : creature.parts) part.typeId = -1;
    formats::MergedFigure figure;
    figure.Prepare(creature);
    figure.ListVertices();
    std::printf(".3ds, largest figure: %zu vertices, %zu triangles, 132 materials\n", figure.vertices.size(),
                2 * figure.faces.size());

    const fs::path ours = folder / "largest.3ds";
    const fs::path plain = folder / "largest-reference.3ds";
    const long before = allocationCount.load();
    const double tOurs = Best(5, [&] { formats::Export3ds(creature, ours.string(), sink); });
    const long allocations = (allocationCount.load() - before) / 5;
    const double tPlain = Best(5, [&] { Reference3ds(creature, plain); });
    const std::uintmax_t size = fs::file_size(ours);
    Report("fwrite per value, seek back for lengths", tPlain, size);
    Report("Export3ds (atomic file, fsync)", tOurs, size, tPlain);
    std::printf("  %zu bytes, %ld heap allocations an export\n", static_cast<std::size_t>(size), allocations);
    return Same(ours, plain);
}

bool StressDxf(const fs::path& folder) {
    model::Creature creature(sink);
    StressFigure(creature);
    formats::MergedFigure figure;
    figure.Prepare(creature);
    std::printf("DXF, stress figure: %zu points, %zu 3DFACEs\n", figure.PointCount(), figure.faces.size());

    const fs::path ours = folder / "stress.dxf";
    const fs::path buffered = folder / "stress-buffered.dxf";
    const fs::path flushing = folder / "stress-flushing.dxf";
    const double tFlushing = Best(1, [&] { ReferenceDxf(creature, flushing, true); });
    const double tBuffered = Best(3, [&] { ReferenceDxf(creature, buffered, false); });
    const double tOurs = Best(3, [&] { formats::ExportDxf(creature, ours.string(), sink); });
    const std::uintmax_t size = fs::file_size(ours);
    Report("fprintf per value, fflush every line", tFlushing, size);
    Report("fprintf per value, buffered", tBuffered, size, tFlushing);
    Report("ExportDxf (atomic file, fsync)", tOurs, size, tFlushing);
    std::printf("  %zu bytes; ExportDxf x%.2f of buffered fprintf\n", static_cast<std::size_t>(size), tBuffered / tOurs);
    const bool same = Same(ours, flushing) && Same(ours, buffered);
    fs::remove(flushing);
    fs::remove(buffered);
    return same;
}

bool SeamMerging() {
    std::printf("Seam merging, 22 parts of 8 rows, every seam one row long:\n");
    std::printf("  %8s %10s %12s %12s %14s %14s\n", "seam", "points", "lookup ms", "scan ms", "lookup ns/item",
                "scan ns/item");
    bool same = true;
    for (int columns : {256, 512, 1024, 2048, 4096, 8192}) {
        model::Creature creature(sink);
        SeamedFigure(creature, 8, columns, 4);
        formats::MergedFigure looked;
        formats::MergedFigure scanned;
        const double tCollect = Best(3, [&] { looked.Collect(creature); });
        const double tLookup = Best(3, [&] {
            looked.Collect(creature);
            looked.MergeSeams();
        }) - tCollect;
        double tScan = -1;
        if (columns <= 2048) {
            tScan = Best(1, [&] {
                scanned.Collect(creature);
                exporttest::MergeSeamsByScan(scanned);
            }) - tCollect;
            for (std::size_t f = 0; f < looked.faces.size(); ++f) {
                same = same && looked.faces[f].corners == scanned.faces[f].corners;
            }
        }
        const double items = static_cast<double>(looked.PointCount() + looked.faces.size());
        if (tScan >= 0) {
            std::printf("  %8d %10zu %12.3f %12.1f %14.2f %14.1f\n", columns, looked.PointCount(), tLookup * 1e3,
                        tScan * 1e3, tLookup * 1e9 / items, tScan * 1e9 / items);
        } else {
            std::printf("  %8d %10zu %12.3f %12s %14.2f %14s\n", columns, looked.PointCount(), tLookup * 1e3, "-",
                        tLookup * 1e9 / items, "-");
        }
    }
    if (!same) std::printf("  !! lookup and scan differ\n");
    return same;
}

// ---- modern formats -------------------------------------------------------

struct Writer {
    const char* name;
    const char* file;
    decltype(formats::MeshExport::write) run;
};

const Writer kWriters[] = {
    {"ExportDxf", "figure.dxf", formats::MeshExportOf(".dxf")->write},
    {"Export3ds", "figure.3ds", formats::MeshExportOf(".3ds")->write},
    {"ExportGlb", "figure.glb", &formats::ExportGlb}, {"ExportObj (.obj + .mtl)", "figure.obj", &formats::ExportObj},
    {"ExportStl", "figure.stl", &formats::ExportStl},
};

// Every writer on one figure; true when each modern writer puts out at
// least as many bytes a second as the DXF writer.
bool ModernFormats(const char* title, model::Creature& creature, const fs::path& folder, int runs, bool with3ds) {
    formats::ModernFigure figure;
    const double tPrepare = Best(runs, [&] { figure.Prepare(creature, sink, {}, formats::FileFrame::kMetresYUp); });
    std::printf("%s: %zu vertices, %zu quads, %zu materials; merged figure with normals %.1f ms\n", title,
                figure.merged.vertices.size(), figure.merged.faces.size(), figure.materials.size(), tPrepare * 1e3);
    double dxfRate = 0;
    bool fastEnough = true;
    for (const Writer& writer : kWriters) {
        const fs::path path = folder / writer.file;
        if (!with3ds && path.extension() == ".3ds") continue;
        bool written = true;
        const double seconds = Best(runs, [&] { written = writer.run(creature, path.string(), sink, {}) && written; });
        if (!written) {
            std::printf("  %-44s (not written)\n", writer.name);
            continue;
        }
        std::uintmax_t size = fs::file_size(path);
        if (path.extension() == ".obj") size += fs::file_size(formats::MaterialLibraryPath(path.string()));
        const double rate = static_cast<double>(size) / 1e6 / seconds;
        if (dxfRate == 0) dxfRate = rate;
        std::printf("  %-28s %11zu bytes %9.1f ms %9.1f MB/s   x%.2f of DXF's rate\n", writer.name,
                    static_cast<std::size_t>(size), seconds * 1e3, rate, rate / dxfRate);
        if (path.extension() != ".dxf" && path.extension() != ".3ds") fastEnough = fastEnough && rate >= dxfRate;
        fs::remove(path);
        if (path.extension() == ".obj") fs::remove(formats::MaterialLibraryPath(path.string()));
    }
    return fastEnough;
}

bool ModernFormats(const fs::path& folder) {
    bool fastEnough = true;
    model::Creature sample(sink);
    if (bench::BuildSampleFigure(sample)) {
        fastEnough = ModernFormats("Sample figure", sample, folder, 9, true);
    } else {
        std::printf("Sample figure: no sample library at %s\n", bench::SampleLibraryDir().c_str());
    }
    model::Creature stress(sink);
    StressFigure(stress);
    fastEnough = ModernFormats("Stress figure (22 x 16 000 quads; beyond .3ds)", stress, folder, 3, false) && fastEnough;
    std::printf(fastEnough ? "Every modern writer at least as fast per byte as DXF.\n"
                           : "A MODERN WRITER IS SLOWER PER BYTE THAN DXF.\n");
    return fastEnough;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef __GLIBC__
    // Memory freed by one run is kept for the next, so that the runs time
    // the writers rather than how dearly the machine charges the first touch
    // of a fresh page (a virtual machine's page faults can cost more than
    // the writing itself, and whether a large block is reused otherwise
    // depends on the allocator's history).
    ::mallopt(M_MMAP_THRESHOLD, 256 << 20);
    ::mallopt(M_TRIM_THRESHOLD, 512 << 20);
#endif
    // By default a memory file system, so that the writers are measured and
    // not the disk: a file's sync costs the same whatever the format, and on
    // a disk it outweighs writing the sample figure's small files.
    std::error_code ec;
    const fs::path base = fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
    const fs::path folder = argc > 1 ? fs::path(argv[1]) : base / "mw-export-bench";
    fs::create_directories(folder);
    bool same = Largest3ds(folder);
    same = StressDxf(folder) && same;
    same = SeamMerging() && same;
    ModernFormats(folder);
    fs::remove(folder / "largest.3ds");
    fs::remove(folder / "largest-reference.3ds");
    fs::remove(folder / "stress.dxf");
    if (argc <= 1) fs::remove(folder);
    std::printf(same ? "All outputs identical.\n" : "OUTPUTS DIFFER.\n");
    return same ? 0 : 1;
}
