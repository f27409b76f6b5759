// The messages of the model and the formats as lines on a stream (standard
// error): "caption: text (detail)", one line each. Notes ("Saved" after an
// export) say nothing a script needs and are not written.
#pragma once

#include <iosfwd>

#include "ui/message_sink.h"

namespace cli {

class StreamSink : public ui::MessageSink {
public:
    explicit StreamSink(std::ostream& out) : out_(out) {}
    void Report(const ui::Message& message) override;
    int shown = 0;  // lines written

private:
    std::ostream& out_;
};

}  // namespace cli
