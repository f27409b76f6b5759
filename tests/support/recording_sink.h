// A message sink for tests that keeps every message it was told.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "ui/message_sink.h"

namespace ui {

inline std::ostream& operator<<(std::ostream& out, const Message& m) {
    return out << m.caption << ": " << m.text << (m.detail.empty() ? "" : " (" + m.detail + ")");
}

}  // namespace ui

namespace testsupport {

class RecordingSink : public ui::MessageSink {
public:
    void Report(const ui::Message& message) override { shown.push_back(message); }
    std::vector<ui::Message> shown;
};

}  // namespace testsupport
