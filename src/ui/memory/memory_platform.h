// MemoryPlatform: the platform layer without a screen, for tests. Windows
// are MemoryWindows; message boxes are recorded and answered at once; file
// dialogs take scripted answers; a modal run runs a scripted user instead of
// an event loop.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/memory/memory_window.h"
#include "ui/platform.h"

namespace ui::memory {

struct RecordedQuestion {
    std::string text;
    std::string caption;
    std::vector<std::string> buttons;
};

struct RecordedMessage {
    std::string text;
    std::string caption;
    Icon icon = Icon::None;
    Window* owner = nullptr;
};

class MemoryPlatform : public Platform {
public:
    MemoryPlatform() = default;
    MemoryPlatform(const MemoryPlatform&) = delete;
    MemoryPlatform& operator=(const MemoryPlatform&) = delete;

    // Builds the window, runs OnInitDialog, shows it, then runs the script:
    // the front of `modalScripts` if there is one (taken off the queue),
    // otherwise `modalScript` for an outermost run (a nested run, an About
    // box opened by the script, has no script then). A run the script
    // leaves open ends as by the close box (kIdCancel), even when its
    // handler would keep it open. The window and its children are destroyed
    // before this returns, and their handlers' `window` is null again.
    int RunModal(const DialogTemplate& dialog, WindowHandler& handler, Window* owner) override;
    Window* CreateChildDialog(const DialogTemplate& dialog, WindowHandler& handler, Window& parent,
                              int containerId) override;
    // Calls OnCreate. When `glAvailable` (the test made a context current),
    // or when `glStatusToReport` is a failure, OnGlInit follows with that
    // status; with GL available and Ok, OnSize with the template's size.
    Window* CreateGlView(const DialogTemplate& dialog, GlViewHandler& handler, Window& parent) override;
    bool FileDialog(const FileDialogRequest& request, FileDialogResult& result) override;
    bool ChooseDirectory(const std::string& initial, Window* owner, std::string& chosen) override;
    void ShellOpen(const std::string& link) override;
    void ShowMessage(const std::string& text, const std::string& caption, Icon icon, Window* owner) override;
    // Takes the front of `answers` (a button's index); none left, or one no
    // button has: the last button, as Escape would.
    int Ask(const std::string& text, const std::string& caption, const std::vector<std::string>& buttons,
            Window* owner) override;

    // A top-level window outside any modal run, owned by the caller; with a
    // handler, OnInitDialog has run and the window is shown. The caller
    // clears handlers with DetachHandlers when they die first.
    std::unique_ptr<MemoryWindow> CreateTopLevel(const DialogTemplate& dialog, WindowHandler* handler = nullptr);

    // Recorded and scripted.
    std::vector<RecordedMessage> messages;
    std::vector<RecordedQuestion> questions;
    std::deque<int> answers;
    std::deque<std::optional<FileDialogResult>> fileDialogAnswers;  // nullopt or none left: cancel
    std::vector<FileDialogRequest> fileDialogRequests;
    std::deque<std::optional<std::string>> directoryAnswers;  // nullopt or none left: cancel
    std::vector<std::string> directoryRequests;               // the folder each chooser opened at
    std::vector<std::string> shellOpened;
    std::function<void(MemoryWindow&)> modalScript;
    std::deque<std::function<void(MemoryWindow&)>> modalScripts;  // before modalScript, one per run
    bool glAvailable = false;
    GlStatus glStatusToReport = GlStatus::Ok;
    MemoryWindow* lastModal = nullptr;  // the running modal window, during its script
    int modalRuns = 0;                  // RunModal calls so far

private:
    int modalDepth_ = 0;
};

}  // namespace ui::memory
