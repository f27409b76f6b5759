#include "formats/export_report.h"

#include <exception>

#include "formats/atomic_file.h"

namespace formats {

bool PrepareFigure(MergedFigure& figure, model::Creature& creature, ui::MessageSink& messages) {
    const MergeResult result = figure.Prepare(creature);
    if (result == MergeResult::kDamaged) ReportDamagedPart(messages, figure.damagedPart);
    return result != MergeResult::kEmpty && result != MergeResult::kDamaged;
}

bool WriteExportFile(const std::string& path, ui::MessageSink& messages,
                     const std::function<std::string(AtomicFile&)>& write) {
    AtomicFile file(path);
    if (!file.Open()) {
        ReportWriteFailure(messages);
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
        ReportWriteFailure(messages);
        return false;
    }
    ReportSaved(messages);
    return true;
}

}  // namespace formats
