#include "ui/qt/qt_platform.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

#include "ui/qt/qt_dialog_font.h"
#include "ui/qt/qt_file_filter.h"
#include "ui/qt/qt_window.h"

namespace ui::qt {

QtPlatform::QtPlatform() { QApplication::setFont(DialogFont()); }

QWidget* QtPlatform::WidgetOf(Window* window) {
    auto* qtWindow = dynamic_cast<QtWindow*>(window);
    return qtWindow ? qtWindow->Widget() : nullptr;
}

int QtPlatform::RunModal(const DialogTemplate& dialog, WindowHandler& handler, Window* owner) {
    std::unique_ptr<QtWindow> window = QtWindow::CreateModal(dialog, handler, WidgetOf(owner));
    handler.window = window.get();
    handler.OnInitDialog();
    const int result = window->Exec();
    window->DetachHandlers();
    return result;
}

Window* QtPlatform::CreateChildDialog(const DialogTemplate& dialog, WindowHandler& handler, Window& parent,
                                      int containerId) {
    auto* host = dynamic_cast<QtWindow*>(&parent);
    if (host == nullptr) return nullptr;
    QtWindow* page = host->CreatePage(dialog, handler, containerId);
    if (page == nullptr) return nullptr;
    handler.window = page;
    handler.OnInitDialog();
    return page;
}

Window* QtPlatform::CreateGlView(const DialogTemplate& dialog, GlViewHandler& handler, Window& parent) {
    auto* host = dynamic_cast<QtWindow*>(&parent);
    if (host == nullptr) return nullptr;
    QtWindow* view = host->CreateGlView(dialog, handler);
    if (view == nullptr) return nullptr;
    handler.window = view;
    if (!handler.OnCreate()) {
        view->DetachHandlers();
        host->DestroyChild(view);
        return nullptr;
    }
    return view;
}

bool QtPlatform::FileDialog(const FileDialogRequest& request, FileDialogResult& result) {
    QFileDialog dialog(WidgetOf(request.owner));
    // Qt's own dialog: the same on every desktop, and it can be scripted.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // A name that does not exist may be confirmed in both (the folder
    // choosers confirm a placeholder name in the folder they want).
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
    if (!request.defaultExtension.empty()) dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    const QStringList filters = NameFilters(request.filter);
    if (!filters.isEmpty()) dialog.setNameFilters(filters);
    // A name typed without an extension gets the one of the type picked, so
    // that "figure" saved as DXF becomes figure.dxf, not figure.3ds.
    if (!request.defaultExtension.empty() && !filters.isEmpty()) {
        const QString fallback = QString::fromStdString(request.defaultExtension);
        dialog.setDefaultSuffix(SuffixOfFilter(filters.front(), fallback));
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, fallback](const QString& f) {
            dialog.setDefaultSuffix(SuffixOfFilter(f, fallback));
        });
    }
    if (!request.initialName.empty()) dialog.selectFile(QString::fromStdString(request.initialName));
    if (dialog.exec() != QDialog::Accepted) return false;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.front().isEmpty()) return false;
    result.path = chosen.front().toStdString();
    result.filterIndex = filters.isEmpty() ? 0 : static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
    if (!filters.isEmpty() && result.filterIndex == 0) result.filterIndex = 1;
    return true;
}

bool QtPlatform::ChooseDirectory(const std::string& initial, Window* owner, std::string& chosen) {
    QFileDialog dialog(WidgetOf(owner));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (!initial.empty()) dialog.setDirectory(QString::fromStdString(initial));
    if (dialog.exec() != QDialog::Accepted) return false;
    const QStringList picked = dialog.selectedFiles();
    if (picked.isEmpty() || picked.front().isEmpty()) return false;
    chosen = picked.front().toStdString();
    return true;
}

void QtPlatform::ShellOpen(const std::string& link) {
    // A failure is not reported, as the shell's "open" reports nothing.
    QDesktopServices::openUrl(QUrl(QString::fromStdString(link)));
}

void QtPlatform::ShowMessage(const std::string& text, const std::string& caption, Icon icon, Window* owner) {
    QMessageBox box(icon == Icon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon,
                    QString::fromStdString(caption), QString::fromStdString(text), QMessageBox::Ok,
                    WidgetOf(owner));
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace ui::qt

namespace ui::qt {

int QtPlatform::Ask(const std::string& text, const std::string& caption, const std::vector<std::string>& buttons,
                    Window* owner) {
    if (buttons.empty()) return -1;
    QMessageBox box(QMessageBox::Question, QString::fromStdString(caption), QString::fromStdString(text),
                    QMessageBox::NoButton, WidgetOf(owner));
    box.setTextFormat(Qt::PlainText);
    // Our own buttons, in our order and with our words; the first is the
    // default (Return), the last answers Escape and the close box.
    std::vector<QPushButton*> added;
    for (const std::string& label : buttons) {
        added.push_back(box.addButton(QString::fromStdString(label), QMessageBox::ActionRole));
    }
    box.setDefaultButton(added.front());
    box.setEscapeButton(added.back());
    box.exec();
    for (std::size_t i = 0; i < added.size(); ++i) {
        if (box.clickedButton() == added[i]) return static_cast<int>(i);
    }
    return static_cast<int>(added.size()) - 1;
}

}  // namespace ui::qt
