#include "cli/stream_sink.h"

#include <ostream>
#include <string>

namespace cli {

void StreamSink::Report(const ui::Message& message) {
    // Work done says nothing a script needs.
    if (message.severity == ui::Severity::kNote) return;
    std::string line = message.caption.empty() ? message.text : message.caption + ": " + message.text;
    // Which file, and the system's or the reader's reason.
    if (!message.detail.empty()) line += " (" + message.detail + ")";
    // One line each, whatever the box's text holds.
    for (char& c : line) {
        if (c == '\n' || c == '\r') c = ' ';
    }
    out_ << line << '\n';
    out_.flush();
    ++shown;
}

}  // namespace cli
