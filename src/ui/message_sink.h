// The one way the model, the formats and the panels tell the user something:
// a modal message box with a text, a caption, an optional exclamation icon
// and an OK button. The platform layer implements it; tests record it.
#pragma once

#include <string>

namespace ui {

class Window;

enum class Icon { None, Exclamation };

class MessageSink {
public:
    virtual ~MessageSink() = default;
    // Shows the box and returns when the user has pressed OK.
    // owner may be null (a box with no owner window).
    virtual void ShowMessage(const std::string& text, const std::string& caption, Icon icon,
                             Window* owner) = 0;
};

// Shows nothing: for work no one watches (a picture's drawing, a fuzz run).
class SilentSink : public MessageSink {
public:
    void ShowMessage(const std::string&, const std::string&, Icon, Window*) override {}
};

}  // namespace ui
