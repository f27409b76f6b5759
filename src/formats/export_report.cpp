#include "formats/export_report.h"

#include "formats/atomic_file.h"

namespace formats {

bool PrepareFigure(MergedFigure& figure, model::Creature& creature, ui::MessageSink& messages) {
    const MergeResult result = figure.Prepare(creature);
    if (result == MergeResult::kDamaged) ReportDamagedPart(messages, figure.damagedPart);
    return result != MergeResult::kEmpty && result != MergeResult::kDamaged;
}

bool WriteExportFile(const std::string& path, ui::MessageSink& messages,
                     const std::function<void(AtomicFile&)>& write) {
    AtomicFile file(path);
    if (!file.Open()) {
        ReportWriteFailure(messages);
        return false;
    }
    write(file);
    if (!file.Commit()) {
        ReportWriteFailure(messages);
        return false;
    }
    ReportSaved(messages);
    return true;
}

}  // namespace formats
