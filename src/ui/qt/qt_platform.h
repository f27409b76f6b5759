// QtPlatform: the platform layer on Qt 6 Widgets. Needs a QApplication;
// every call runs on its thread. It makes the dialog font the application's
// default GUI font.
#pragma once

#include "ui/platform.h"

class QWidget;

namespace ui::qt {

class QtPlatform : public Platform {
public:
    QtPlatform();
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;

    int RunModal(const DialogTemplate& dialog, WindowHandler& handler, Window* owner) override;
    Window* CreateChildDialog(const DialogTemplate& dialog, WindowHandler& handler, Window& parent,
                              int containerId) override;
    Window* CreateGlView(const DialogTemplate& dialog, GlViewHandler& handler, Window& parent) override;
    bool FileDialog(const FileDialogRequest& request, FileDialogResult& result) override;
    bool ChooseDirectory(const std::string& initial, Window* owner, std::string& chosen) override;
    void ShellOpen(const std::string& link) override;
    void ShowMessage(const std::string& text, const std::string& caption, Icon icon, Window* owner) override;
    int Ask(const std::string& text, const std::string& caption, const std::vector<std::string>& buttons,
            Window* owner) override;

    // The Qt widget of one of our windows; null for none.
    static QWidget* WidgetOf(Window* window);
};

}  // namespace ui::qt
