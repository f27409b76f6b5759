// What the exports tell the user: the failure boxes they share and "Saved".
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "formats/export_messages.h"
#include "formats/merged_figure.h"
#include "ui/message_sink.h"

namespace model {
class Creature;
}

namespace formats {

// An error of an export: caption "Error!"; `detail` names the file and why.
inline void ReportExportError(ui::MessageSink& messages, const std::string& text, const std::string& detail = "") {
    messages.Report({ui::Severity::kError, kExportFailedCaption, text, detail});
}

// The file could not be created or written whole; nothing is left of it.
inline void ReportWriteFailure(ui::MessageSink& messages, const std::string& detail) {
    ReportExportError(messages, kExportFailedText, detail);
}

inline void ReportDamagedPart(ui::MessageSink& messages, const std::string& typeName) {
    ReportExportError(messages, "The part \"" + typeName + "\" names points it does not have. Nothing was exported.");
}

inline void ReportUnboundedPart(ui::MessageSink& messages, const std::string& typeName) {
    ReportExportError(messages, "The part \"" + typeName +
                                    "\" has points beyond any number a file holds (its build factors are far too "
                                    "large). Nothing was exported.");
}

inline void ReportSaved(ui::MessageSink& messages) { messages.Report({ui::Severity::kNote, "", kSavedText, ""}); }

// Of parts with points beyond finite numbers, the one with the largest
// build factor (the cause; its welded neighbours share its fate).
const model::MeshObject* LargestFactorPart(const std::vector<const model::MeshObject*>& parts);

// Merges the creature's parts for an export, with the part types in front
// of the surface names when `typeNames`. False for an empty figure (nothing
// to say) and for a damaged part (reported).
bool PrepareFigure(MergedFigure& figure, const model::Creature& creature, ui::MessageSink& messages,
                   bool typeNames = false);

class AtomicFile;

// Writes one file through an AtomicFile: `write` puts the bytes and returns
// what went wrong ("" for nothing), then the file is committed. A failure is
// reported (a write error as the .3ds export reports it) and leaves nothing
// behind; a complete file is followed by "Saved".
bool WriteExportFile(const std::string& path, ui::MessageSink& messages,
                     const std::function<std::string(AtomicFile&)>& write);

}  // namespace formats
