#include "formats/export_report.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "formats/atomic_file.h"

namespace formats {

bool PrepareFigure(MergedFigure& figure, const model::Creature& creature, ui::MessageSink& messages,
                   bool typeNames) {
    const MergeResult result = figure.Prepare(creature, typeNames);
    if (result == MergeResult::kDamaged) ReportDamagedPart(messages, figure.damagedPart);
    if (result != MergeResult::kMerged) return false;
    // Build factors far past any sensible size throw points to infinity (or
    // NaN, where infinities meet): no file can hold them.
    std::vector<const model::MeshObject*> unbounded;
    for (std::size_t at = 0; at < figure.parts.size(); ++at) {
        const model::MeshObject* part = figure.parts[at];
        const std::size_t first = 3 * static_cast<std::size_t>(figure.pointBase[at]);
        for (std::size_t i = first; i < first + part->points.size(); ++i) {
            if (!std::isfinite(figure.points[i])) {
                unbounded.push_back(part);
                break;
            }
        }
    }
    if (unbounded.empty()) return true;
    ReportUnboundedPart(messages, LargestFactorPart(unbounded)->objectType);
    return false;
}

const model::MeshObject* LargestFactorPart(const std::vector<const model::MeshObject*>& parts) {
    // The neighbours welded to such a part go with it; its own factors tell it apart.
    const auto largest = [](const model::MeshObject* part) {
        float most = 0;
        for (const auto& mode : part->settings.deformFactors) {
            for (float f : mode) most = std::max(most, std::abs(f));
        }
        return most;
    };
    const model::MeshObject* chosen = parts.front();
    for (const model::MeshObject* part : parts) {
        if (largest(part) > largest(chosen)) chosen = part;
    }
    return chosen;
}

bool WriteExportFile(const std::string& path, ui::MessageSink& messages,
                     const std::function<std::string(AtomicFile&)>& write) {
    AtomicFile file(path);
    if (!file.Open()) {
        ReportWriteFailure(messages, file.Failure());
        return false;
    }
    std::string problem;
    try {
        problem = write(file);
    } catch (const std::exception&) {
        // Out of memory while putting the file together: the file goes.
        problem = kExportFailedText;
    }
    if (!problem.empty()) {
        ReportExportError(messages, problem);
        return false;
    }
    if (!file.Commit()) {
        ReportWriteFailure(messages, file.Failure());
        return false;
    }
    ReportSaved(messages);
    return true;
}

}  // namespace formats
