// The one way the model and the formats tell the user something: how bad it
// is, the caption and text of the box the program shows, and a detail for a
// command line (which file and why) that the box leaves out. The platform
// layer chooses the box's icon (and shows it without an owner window);
// mwbatch prints a line; tests record it.
#pragma once

#include <string>

namespace ui {

enum class Severity {
    kNote,   // work done ("Saved"): a box without an icon; not printed by mwbatch
    kError,  // something was not done: a box with the exclamation icon
};

struct Message {
    Severity severity = Severity::kError;
    std::string caption;
    std::string text;
    std::string detail;  // "out/hero.3ds: No space left on device"; empty for none
};

class MessageSink {
public:
    virtual ~MessageSink() = default;
    // Tells the message; a box returns when the user has pressed OK.
    virtual void Report(const Message& message) = 0;
};

// Tells nothing: for work no one watches (a picture's drawing, a fuzz run).
class SilentSink : public MessageSink {
public:
    void Report(const Message&) override {}
};

}  // namespace ui
