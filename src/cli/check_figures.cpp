#include "cli/check_figures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <unordered_map>

#include "formats/export_modern_figure.h"
#include "formats/object_library.h"
#include "formats/object_reader.h"
#include "model/connection_tables.h"
#include "model/creature.h"
#include "model/part_types.h"
#include "ui/message_sink.h"

namespace cli {
namespace {

// Where a boundary entry of the merged figure came from: part position and list.
using SeamMark = std::pair<std::uint32_t, int>;

// A triangle is taken as without area below this share of the figure's
// size squared: points meant to be one that lie 1e-18 apart, not small parts.
constexpr double kFlatShare = 1e-12;

double TwiceArea(const float* a, const float* b, const float* c) {
    const double u[3] = {static_cast<double>(b[0]) - a[0], static_cast<double>(b[1]) - a[1],
                         static_cast<double>(b[2]) - a[2]};
    const double v[3] = {static_cast<double>(c[0]) - a[0], static_cast<double>(c[1]) - a[1],
                         static_cast<double>(c[2]) - a[2]};
    const double n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
    return std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
}

class FigureInspector {
public:
    FigureInspector(const formats::ModernFigure& figure, const std::vector<std::string>& fileOfPart)
        : figure_(figure), merged_(figure.merged), fileOf_(fileOfPart) {}

    void Inspect(int number, std::vector<FigureWarning>& out) {
        MarkSeams();
        std::map<std::string, FigureWarning> byPlace;
        // Each edge with the faces' part that used it first, and how often.
        struct EdgeUse {
            std::uint32_t part;
            int count;
        };
        std::unordered_map<std::uint64_t, EdgeUse> edges;
        std::array<std::array<std::uint32_t, 3>, 2> triangles;
        const double size = FigureSize();
        for (const formats::NamedMaterial& material : figure_.materials) {
            for (std::uint32_t f : material.faces) {
                const std::uint32_t part = merged_.faces[f].part;
                const int n = figure_.Triangles(f, triangles);
                for (int t = 0; t < n; ++t) {
                    const auto& v = triangles[static_cast<std::size_t>(t)];
                    if (TwiceArea(figure_.Position(v[0]), figure_.Position(v[1]), figure_.Position(v[2])) <=
                        2 * kFlatShare * size * size) {
                        byPlace[Place(part, v[0], v[1], v[2])].flatTriangles += 1;
                    }
                    for (int k = 0; k < 3; ++k) {
                        const std::uint32_t a = std::min(v[k], v[(k + 1) % 3]);
                        const std::uint32_t b = std::max(v[k], v[(k + 1) % 3]);
                        auto [at, added] = edges.try_emplace(static_cast<std::uint64_t>(a) << 32 | b, EdgeUse{part, 0});
                        ++at->second.count;
                    }
                }
            }
        }
        for (const auto& [key, use] : edges) {
            if (use.count == 2) continue;
            const auto a = static_cast<std::uint32_t>(key >> 32);
            const auto b = static_cast<std::uint32_t>(key & 0xFFFFFFFFu);
            FigureWarning& warning = byPlace[Place(use.part, a, b, a)];
            (use.count == 1 ? warning.openEdges : warning.crowdedEdges) += 1;
        }
        for (auto& [place, warning] : byPlace) {
            warning.figure = number;
            warning.where = place;
            out.push_back(warning);
        }
    }

private:
    double FigureSize() const {
        double low[3] = {1e300, 1e300, 1e300};
        double high[3] = {-1e300, -1e300, -1e300};
        for (std::size_t v = 0; v < figure_.VertexCount(); ++v) {
            const float* p = figure_.Position(static_cast<std::uint32_t>(v));
            for (int k = 0; k < 3; ++k) {
                low[k] = std::min(low[k], static_cast<double>(p[k]));
                high[k] = std::max(high[k], static_cast<double>(p[k]));
            }
        }
        double size = 0;
        for (int k = 0; k < 3; ++k) size = std::max(size, high[k] - low[k]);
        return size;
    }

    // Every vertex that stands for a boundary entry, with the part and list.
    void MarkSeams() {
        marks_.assign(figure_.VertexCount(), {});
        for (std::uint32_t p = 0; p < merged_.parts.size(); ++p) {
            const model::MeshObject& part = *merged_.parts[p];
            const std::uint32_t base = merged_.pointBase[p];
            for (int k = 0; k < model::kBoundaryListCount; ++k) {
                for (std::uint16_t entry : part.boundaryLists[static_cast<std::size_t>(k)]) {
                    std::uint32_t point = base + entry;
                    if (merged_.bentOnto[point] != formats::kNoIndex) point = merged_.bentOnto[point];
                    const std::uint32_t vertex = merged_.vertexNumber[point];
                    if (vertex == formats::kNoIndex) continue;
                    auto& list = marks_[vertex];
                    if (std::find(list.begin(), list.end(), SeamMark{p, k}) == list.end()) list.push_back({p, k});
                }
            }
        }
    }

    std::string PartText(std::uint32_t position) const {
        const model::MeshObject& part = *merged_.parts[position];
        return part.objectType + " (" + fileOf_[position] + ")";
    }

    // The seam all three vertices lie on (an edge passes its first corner
    // twice), else the parts whose seams they lie on, else the face's part.
    std::string Place(std::uint32_t facePart, std::uint32_t a, std::uint32_t b, std::uint32_t c) const {
        for (const SeamMark& mark : marks_[a]) {
            const auto on = [&](std::uint32_t v) {
                return std::find(marks_[v].begin(), marks_[v].end(), mark) != marks_[v].end();
            };
            if (!on(b) || !on(c)) continue;
            const model::MeshObject& part = *merged_.parts[mark.first];
            if (part.typeId < 0 || part.typeId >= model::kPartTypeCount) continue;
            const model::SeamEntry& seam =
                model::ConnectionTable[static_cast<std::size_t>(part.typeId)].seams[static_cast<std::size_t>(mark.second)];
            const std::int32_t other =
                seam.neighbourType < 0 ? -1 : merged_.typeTable[static_cast<std::size_t>(seam.neighbourType)];
            if (other < 0) {
                return "open seam " + std::to_string(mark.second) + " of " + PartText(mark.first);
            }
            return "seam " + PartText(mark.first) + " / " + PartText(static_cast<std::uint32_t>(other));
        }
        // Corners on the seams of different parts: where those parts meet.
        std::vector<std::uint32_t> meeting;
        for (std::uint32_t v : {a, b, c}) {
            for (const SeamMark& mark : marks_[v]) meeting.push_back(mark.first);
        }
        std::sort(meeting.begin(), meeting.end());
        meeting.erase(std::unique(meeting.begin(), meeting.end()), meeting.end());
        if (meeting.size() < 2) return PartText(facePart);
        std::string text = "where ";
        for (std::size_t i = 0; i < meeting.size(); ++i) {
            text += (i == 0 ? "" : i + 1 == meeting.size() ? " and " : ", ") + PartText(meeting[i]);
        }
        return text + " meet";
    }

    const formats::ModernFigure& figure_;
    const formats::MergedFigure& merged_;
    const std::vector<std::string>& fileOf_;
    std::vector<std::vector<SeamMark>> marks_;
};

std::string Count(int n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

std::string FigureWarning::Text() const {
    std::string text = where + ": ";
    std::vector<std::string> what;
    if (openEdges != 0) what.push_back(Count(openEdges, "open edge", "open edges"));
    if (crowdedEdges != 0) what.push_back(Count(crowdedEdges, "edge of more than two triangles", "edges of more than two triangles"));
    if (flatTriangles != 0) what.push_back(Count(flatTriangles, "triangle without area", "triangles without area"));
    for (std::size_t i = 0; i < what.size(); ++i) text += (i == 0 ? "" : ", ") + what[i];
    return text;
}

FigureChecks CheckFigures(const std::string& objectDir, const LibraryCheck& files) {
    FigureChecks checks;
    // The loadable files of every folder, in list order.
    std::vector<std::vector<std::string>> loadable(files.folders.size());
    std::size_t most = 0;
    for (std::size_t f = 0; f < files.folders.size(); ++f) {
        for (const FileCheck& file : files.folders[f].files) {
            if (file.loads) loadable[f].push_back(file.name);
        }
        most = std::max(most, loadable[f].size());
    }
    checks.figureCount = static_cast<int>(most);
    for (std::size_t i = 0; i < most; ++i) {
        ui::SilentSink silent;  // a seam that does not fit is the file table's to tell
        model::Creature creature(silent);
        for (std::size_t f = 0; f < files.folders.size(); ++f) {
            if (loadable[f].empty()) continue;
            const std::string& part = files.folders[f].part;
            const std::string path = formats::PartFolder(objectDir, part) + "/" + loadable[f][i % loadable[f].size()];
            formats::SetPartFromFile(creature, part, path, static_cast<std::int32_t>(f));
        }
        formats::ModernFigure figure;
        if (!figure.Prepare(creature, silent, {}, formats::FileFrame::kMetresYUp)) continue;
        std::vector<std::string> fileOfPart;
        for (const model::MeshObject* part : figure.merged.parts) {
            const std::size_t f = static_cast<std::size_t>(model::PanelIndexOfTypeId(part->typeId));
            fileOfPart.push_back(loadable[f][i % loadable[f].size()]);
        }
        FigureInspector(figure, fileOfPart).Inspect(static_cast<int>(i) + 1, checks.warnings);
    }
    return checks;
}

}  // namespace cli
