// A message sink for benchmarks: boxes are counted, not shown.
#pragma once

#include "ui/message_sink.h"

namespace bench {

class CountingSink : public ui::MessageSink {
public:
    void ShowMessage(const std::string&, const std::string&, ui::Icon, ui::Window*) override { ++shown; }
    int shown = 0;
};

}  // namespace bench
