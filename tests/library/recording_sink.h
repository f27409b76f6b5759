// A message sink that keeps the boxes it was asked to show.
#pragma once

#include <string>
#include <vector>

#include "ui/message_sink.h"

namespace librarytest {

class RecordingSink : public ui::MessageSink {
public:
    void ShowMessage(const std::string& text, const std::string& caption, ui::Icon, ui::Window*) override {
        shown.push_back(caption + ": " + text);
    }
    std::vector<std::string> shown;
};

}  // namespace librarytest
