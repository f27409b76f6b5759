// A message sink that keeps every box it was asked to show.
#pragma once

#include <string>
#include <vector>

#include "ui/message_sink.h"

namespace testdata {

struct ShownMessage {
    std::string text;
    std::string caption;
    ui::Icon icon;
    ui::Window* owner;
};

class RecordingSink : public ui::MessageSink {
public:
    void ShowMessage(const std::string& text, const std::string& caption, ui::Icon icon,
                     ui::Window* owner) override {
        shown.push_back({text, caption, icon, owner});
    }
    std::vector<ShownMessage> shown;
};

}  // namespace testdata
