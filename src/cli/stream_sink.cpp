#include "cli/stream_sink.h"

#include <ostream>
#include <string>

#include "formats/atomic_file.h"
#include "formats/export_messages.h"
#include "formats/object_library.h"
#include "formats/project_file.h"

namespace cli {

void StreamSink::ShowMessage(const std::string& text, const std::string& caption, ui::Icon /*icon*/,
                             ui::Window* /*owner*/) {
    if (text == formats::kSavedText && caption.empty()) return;
    std::string line = caption.empty() ? text : caption + ": " + text;
    // An object file the reader refused: why.
    if (caption == "Unable to add object") {
        const std::string refusal = formats::TakeLastObjectRefusal();
        if (!refusal.empty()) line += " (" + refusal + ")";
    }
    // A file that could not be written: which one, and the system's reason.
    if (text == formats::kExportFailedText || text == formats::kProjectSaveFailed) {
        const std::string failure = formats::TakeLastFileFailure();
        if (!failure.empty()) line += " (" + failure + ")";
    }
    // One line each, whatever the box's text holds.
    for (char& c : line) {
        if (c == '\n' || c == '\r') c = ' ';
    }
    out_ << line << '\n';
    out_.flush();
    ++shown;
}

}  // namespace cli
