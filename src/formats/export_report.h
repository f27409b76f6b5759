// What the exports tell the user: the failure boxes they share and "Saved".
#pragma once

#include <string>

#include "formats/export_3ds.h"
#include "ui/message_sink.h"

namespace formats {

// An error of an export: caption "Error!", exclamation icon, no owner.
inline void ReportExportError(ui::MessageSink& messages, const std::string& text) {
    messages.ShowMessage(text, kExportFailedCaption, ui::Icon::Exclamation, nullptr);
}

// The file could not be created or written whole; nothing is left of it.
inline void ReportWriteFailure(ui::MessageSink& messages) { ReportExportError(messages, kExportFailedText); }

inline void ReportDamagedPart(ui::MessageSink& messages, const std::string& typeName) {
    ReportExportError(messages, "The part \"" + typeName + "\" names points it does not have. Nothing was exported.");
}

inline void ReportSaved(ui::MessageSink& messages) {
    messages.ShowMessage(kSavedText, "", ui::Icon::None, nullptr);
}

}  // namespace formats
