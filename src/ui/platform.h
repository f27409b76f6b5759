// The services of the windowing toolkit that the program uses, behind one
// interface: modal and child dialogs from templates, the OpenGL view window,
// message boxes, file dialogs and the shell's "open".
#pragma once

#include <string>
#include <vector>

#include "ui/message_sink.h"
#include "ui/window.h"

namespace ui {

struct FileDialogRequest {
    bool save = false;              // save dialog; otherwise open dialog
    std::string defaultExtension;   // without the dot, "" for none
    std::string initialName;        // initial file name, "" for none
    std::string filter;             // "label|pattern|label|pattern|", "" for none
    bool overwritePrompt = false;   // save: ask before replacing a file
    Window* owner = nullptr;
};

struct FileDialogResult {
    std::string path;     // full path the user chose
    int filterIndex = 0;  // 1-based index of the filter picked (0 without filter)
};

enum class Icon { None, Exclamation };

class Platform : public MessageSink {
public:
    // A modal box with a text, a caption, an optional exclamation icon and an
    // OK button; returns when the user has pressed OK. owner may be null (a
    // box with no owner window).
    virtual void ShowMessage(const std::string& text, const std::string& caption, Icon icon, Window* owner) = 0;
    // The model's and the formats' messages as boxes without an owner: an
    // error with the exclamation icon, a note without.
    // A modal question with its buttons, left to right; returns the index of
    // the one pressed. Escape and the close box press the last one.
    virtual int Ask(const std::string& text, const std::string& caption, const std::vector<std::string>& buttons,
                    Window* owner) = 0;
    void Report(const Message& message) final {
        ShowMessage(message.text, message.caption,
                    message.severity == Severity::kError ? Icon::Exclamation : Icon::None, nullptr);
    }

    // Builds a window from the template, sets handler.window, runs
    // OnInitDialog, shows it and runs it modally until EndDialog or the close
    // box (which ends it with kIdCancel). Returns the result. The window and
    // every child created in it are destroyed before this returns, and
    // handler.window is null again.
    virtual int RunModal(const DialogTemplate& dialog, WindowHandler& handler, Window* owner) = 0;

    // A modeless child page inside `parent`, or inside the control
    // `containerId` of `parent` (a tab strip) when that is not 0. Created
    // hidden at (0, 0) with the template's size; OnInitDialog has run when
    // this returns. Owned by the parent window.
    virtual Window* CreateChildDialog(const DialogTemplate& dialog, WindowHandler& handler,
                                      Window& parent, int containerId) = 0;

    // The OpenGL view: a child window of `parent` with a double-buffered RGBA
    // context with depth, current for the whole run. Created hidden at
    // (0, 0) with the template's size. Returns null when handler.OnCreate
    // fails. Owned by the parent window.
    virtual Window* CreateGlView(const DialogTemplate& dialog, GlViewHandler& handler,
                                 Window& parent) = 0;

    // Returns false when the user cancelled.
    virtual bool FileDialog(const FileDialogRequest& request, FileDialogResult& result) = 0;

    // The platform's folder chooser, opening at `initial` (when it names a
    // folder). Returns false when the user cancelled; otherwise `chosen` is
    // the full path of the folder picked.
    virtual bool ChooseDirectory(const std::string& initial, Window* owner, std::string& chosen) = 0;

    // Opens a web link ("http://...") or a mail link ("mailto:...").
    virtual void ShellOpen(const std::string& link) = 0;
};

}  // namespace ui
