// The message boxes of the model and the formats as lines on a stream
// (standard error): "caption: text", one line each. The "Saved" box after
// an export says nothing a script needs and is not written.
#pragma once

#include <iosfwd>

#include "ui/message_sink.h"

namespace cli {

class StreamSink : public ui::MessageSink {
public:
    explicit StreamSink(std::ostream& out) : out_(out) {}
    void ShowMessage(const std::string& text, const std::string& caption, ui::Icon icon,
                     ui::Window* owner) override;
    int shown = 0;  // lines written

private:
    std::ostream& out_;
};

}  // namespace cli
