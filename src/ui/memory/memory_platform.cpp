#include "ui/memory/memory_platform.h"

#include <utility>

namespace ui::memory {

int MemoryPlatform::RunModal(const DialogTemplate& dialog, WindowHandler& handler, Window* /*owner*/) {
    ++modalRuns;
    const bool outermost = modalDepth_ == 0;
    ++modalDepth_;
    MemoryWindow window(*this, dialog, nullptr, 0);
    window.BeginModalRun();
    window.AttachHandler(&handler);
    handler.window = &window;
    handler.OnInitDialog();

    // A run ended during its initialisation shows nothing and runs no script.
    if (!window.Ended()) {
        window.Show(true);
        std::function<void(MemoryWindow&)> script;
        if (!modalScripts.empty()) {
            script = std::move(modalScripts.front());
            modalScripts.pop_front();
        } else if (outermost) {
            script = modalScript;  // a copy: the script may replace modalScript
        }
        MemoryWindow* outer = lastModal;
        lastModal = &window;
        if (script) script(window);
        lastModal = outer;
        if (!window.Ended()) window.Close();
        if (!window.Ended()) window.EndDialog(kIdCancel);
    }
    const int result = window.EndResult();
    window.Show(false);
    window.DetachHandlers();
    --modalDepth_;
    return result;
}

Window* MemoryPlatform::CreateChildDialog(const DialogTemplate& dialog, WindowHandler& handler, Window& parent,
                                          int containerId) {
    auto* host = dynamic_cast<MemoryWindow*>(&parent);
    if (host == nullptr) return nullptr;
    if (containerId != 0 && host->ControlTemplateOf(containerId).kind != ControlKind::TabStrip) return nullptr;
    MemoryWindow* child = host->AddChild(std::make_unique<MemoryWindow>(*this, dialog, host, containerId));
    child->AttachHandler(&handler);
    handler.window = child;
    handler.OnInitDialog();
    return child;
}

Window* MemoryPlatform::CreateGlView(const DialogTemplate& dialog, GlViewHandler& handler, Window& parent) {
    auto* host = dynamic_cast<MemoryWindow*>(&parent);
    if (host == nullptr) return nullptr;
    MemoryWindow* view = host->AddChild(std::make_unique<MemoryWindow>(*this, dialog, host, 0));
    view->AttachGlHandler(&handler);
    handler.window = view;
    if (!handler.OnCreate()) {
        view->DetachHandlers();
        host->RemoveChild(view);
        return nullptr;
    }
    if (glAvailable || glStatusToReport != GlStatus::Ok) {
        const bool up = handler.OnGlInit(glStatusToReport);
        if (glAvailable && glStatusToReport == GlStatus::Ok) {
            view->SetGlReady(up);
            if (up) handler.OnSize(view->Geometry().width, view->Geometry().height);
        }
    }
    return view;
}

bool MemoryPlatform::FileDialog(const FileDialogRequest& request, FileDialogResult& result) {
    fileDialogRequests.push_back(request);
    if (fileDialogAnswers.empty()) return false;
    std::optional<FileDialogResult> answer = std::move(fileDialogAnswers.front());
    fileDialogAnswers.pop_front();
    if (!answer) return false;
    result = *answer;
    return true;
}

bool MemoryPlatform::ChooseDirectory(const std::string& initial, Window* /*owner*/, std::string& chosen) {
    directoryRequests.push_back(initial);
    if (directoryAnswers.empty()) return false;
    std::optional<std::string> answer = std::move(directoryAnswers.front());
    directoryAnswers.pop_front();
    if (!answer) return false;
    chosen = *answer;
    return true;
}

void MemoryPlatform::ShellOpen(const std::string& link) { shellOpened.push_back(link); }

void MemoryPlatform::ShowMessage(const std::string& text, const std::string& caption, Icon icon, Window* owner) {
    messages.push_back(RecordedMessage{text, caption, icon, owner});
}

int MemoryPlatform::Ask(const std::string& text, const std::string& caption, const std::vector<std::string>& buttons,
                        Window* /*owner*/) {
    questions.push_back(RecordedQuestion{text, caption, buttons});
    const int last = static_cast<int>(buttons.size()) - 1;
    if (answers.empty()) return last;
    const int answer = answers.front();
    answers.pop_front();
    return answer >= 0 && answer <= last ? answer : last;
}

std::unique_ptr<MemoryWindow> MemoryPlatform::CreateTopLevel(const DialogTemplate& dialog, WindowHandler* handler) {
    auto window = std::make_unique<MemoryWindow>(*this, dialog, nullptr, 0);
    if (handler != nullptr) {
        window->AttachHandler(handler);
        handler->window = window.get();
        handler->OnInitDialog();
        window->Show(true);
    }
    return window;
}

}  // namespace ui::memory
