// QtWindow: a window of the Qt platform. A modal run's window is a QDialog,
// a child page a plain QWidget (inside a tab strip's container or directly
// in its parent), the view a QOpenGLWidget. Controls are Qt widgets found
// by their template id. A QtWindow owns its child QtWindows; each deletes
// its own widget, children first, so Qt's parent deletion never meets a
// widget we delete too.
#pragma once

#include <QPointer>
#include <QWidget>

#include <memory>
#include <vector>

#include "ui/window.h"

class QDialog;

namespace ui::qt {

class GlViewWidget;

class QtWindow : public Window {
public:
    enum class Kind { Modal, Page, GlView };

    // The window of a modal run, not shown yet. `owner` may be null.
    static std::unique_ptr<QtWindow> CreateModal(const DialogTemplate& dialog, WindowHandler& handler,
                                                 QWidget* owner);
    // A hidden page at (0, 0) inside this window or inside its tab strip
    // `containerId` (0: none). Null when that control is no tab strip.
    QtWindow* CreatePage(const DialogTemplate& dialog, WindowHandler& handler, int containerId);
    // The hidden GL view at (0, 0).
    QtWindow* CreateGlView(const DialogTemplate& dialog, GlViewHandler& handler);
    void DestroyChild(QtWindow* child);

    ~QtWindow() override;
    QtWindow(const QtWindow&) = delete;
    QtWindow& operator=(const QtWindow&) = delete;

    // Shows the modal window and runs it until it ends; the result.
    int Exec();
    bool Ended() const { return ended_; }
    int EndResult() const { return endResult_; }
    // Clears the `window` of every handler of this window and its children;
    // nothing is reported to them afterwards.
    void DetachHandlers();

    Kind WindowKind() const { return kind_; }
    QWidget* Widget() const { return root_.data(); }
    QWidget* ControlWidget(int id) const;  // null when there is none

    // Window
    std::string Caption() const override;
    Rect Geometry() const override;
    void Move(int x, int y) override;
    void Show(bool visible) override;
    bool IsVisible() const override;
    void Invalidate() override;
    void SetIcon(int iconId) override;
    void EndDialog(int result) override;
    void SetModified(bool modified) override;
    bool IsModified() const override;
    void AllowResize() override;
    void Resize(int width, int height) override;
    void CreateControl(const ControlTemplate& control) override;
    bool HasControl(int id) const override;
    Rect ControlGeometry(int id) const override;
    void MoveControl(int id, int x, int y) override;
    void SetText(int id, const std::string& text) override;
    std::string Text(int id) const override;
    void Enable(int id, bool enabled) override;
    bool IsEnabled(int id) const override;
    void ShowControl(int id, bool visible) override;
    bool IsControlVisible(int id) const override;
    void SetReadOnly(int id, bool readOnly) override;
    void SetToolTip(int id, const std::string& text) override;
    void AddShortcut(const std::string& keys, int id) override;
    void SetCheck(int id, bool checked) override;
    bool IsChecked(int id) const override;
    int AddEntry(int id, const std::string& text) override;
    int EntryCount(int id) const override;
    std::string EntryText(int id, int position) const override;
    int Selection(int id) const override;
    void SetSelection(int id, int position) override;
    void SetScrollRange(int id, int min, int max) override;
    void SetScrollPos(int id, int pos) override;
    void SetScrollInfo(int id, const ScrollInfo& info) override;
    ScrollInfo GetScrollInfo(int id) const override;
    int InsertTab(int id, int index, const std::string& label, void* data) override;
    int TabCount(int id) const override;
    std::string TabLabel(int id, int index) const override;
    void* TabData(int id, int index) const override;
    void SetTabData(int id, int index, void* data) override;
    int TabSelection(int id) const override;
    void SetTabSelection(int id, int index) override;

    // From the widgets: what the user did.
    void UserClicked(std::size_t index);
    void UserChoseEntry(int id);
    void UserScrolled(int id, int code, int pos);
    void UserLeftEdit(int id);
    void TabChanging(int id);
    void TabChanged(int id);
    void CloseBox();
    void EscapeKey();
    void Resized();

private:
    struct Control {
        int id;
        ControlKind kind;
        std::uint32_t style;
        QPointer<QWidget> widget;
        QRect base;  // where the layout puts it, in pixels
    };

    QtWindow(Kind kind, const DialogTemplate& dialog, QtWindow* parent);
    void BuildControls(const DialogTemplate& dialog);
    void AddControl(const ControlTemplate& control, const Rect& pixels, const QFont& font);
    // Widens a label, radio button or check box whose text does not fit,
    // where its row has room; back towards its own width when it has less.
    void FitToText(std::size_t index);
    const Control* Find(int id) const;
    Control* Find(int id);
    // The end of a modal run the user asked for, when the handler agrees.
    void RequestEnd(int result);
    template <typename W>
    W* Widget(int id, ControlKind kind) const;
    void UncheckGroupOf(std::size_t index);
    // Stops every widget of this window and its children from reporting.
    void Silence();

    Kind kind_;
    int templateId_;
    QtWindow* parent_;
    QPointer<QWidget> root_;
    QDialog* dialog_ = nullptr;  // root_ as a dialog, for a modal run
    GlViewWidget* glView_ = nullptr;
    WindowHandler* handler_ = nullptr;
    GlViewHandler* glHandler_ = nullptr;
    bool ended_ = false;
    bool resizable_ = false;
    int endResult_ = kIdCancel;
    std::vector<Control> controls_;
    std::vector<std::unique_ptr<QtWindow>> children_;
};

}  // namespace ui::qt
