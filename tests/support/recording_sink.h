// A message sink for tests that keeps every box it was asked to show.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "ui/message_sink.h"

namespace testsupport {

struct ShownMessage {
    std::string text;
    std::string caption;
    ui::Icon icon;
    ui::Window* owner;
};

inline std::ostream& operator<<(std::ostream& out, const ShownMessage& m) {
    return out << m.caption << ": " << m.text;
}

class RecordingSink : public ui::MessageSink {
public:
    void ShowMessage(const std::string& text, const std::string& caption, ui::Icon icon,
                     ui::Window* owner) override {
        shown.push_back({text, caption, icon, owner});
    }
    std::vector<ShownMessage> shown;
};

}  // namespace testsupport
