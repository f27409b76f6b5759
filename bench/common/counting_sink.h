// A message sink for benchmarks: messages are counted, and errors printed to
// standard error, so that a benchmark that goes wrong says why.
#pragma once

#include <cstdio>

#include "ui/message_sink.h"

namespace bench {

class CountingSink : public ui::MessageSink {
public:
    void Report(const ui::Message& message) override {
        if (message.severity == ui::Severity::kNote) return;
        std::fprintf(stderr, "%s: %s\n", message.caption.c_str(), message.text.c_str());
        ++shown;
    }
    int shown = 0;  // errors told
};

}  // namespace bench
