// MemoryWindow: a window of the in-memory platform. Its controls keep their
// state as a real toolkit's would, and tests act on it as a user would
// (click, choose, scroll, type, leave a field, close), each action sending
// the notification the toolkit would send.
#pragma once

#include <memory>
#include <map>
#include <string>
#include <vector>

#include "ui/window.h"

namespace ui::memory {

class MemoryPlatform;

class MemoryWindow : public Window {
public:
    // A window from `dialog`; `parent` null for a top-level window. Template
    // controls are created at once; nothing is sent to any handler here.
    MemoryWindow(MemoryPlatform& platform, const DialogTemplate& dialog, MemoryWindow* parent,
                 int containerId);
    ~MemoryWindow() override;
    MemoryWindow(const MemoryWindow&) = delete;
    MemoryWindow& operator=(const MemoryWindow&) = delete;

    // Window
    std::string Caption() const override;
    Rect Geometry() const override;
    void Move(int x, int y) override;
    void Show(bool visible) override;
    bool IsVisible() const override;
    void Invalidate() override;
    void SetIcon(int iconId) override;
    void EndDialog(int result) override;
    void SetModified(bool modified) override { modified_ = modified; }
    bool IsModified() const override { return modified_; }
    void AllowResize() override;
    // Also what a user's drag of a resizable window's border does.
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

    // User actions. Each returns false, and sends nothing, when a user could
    // not have done it: no such control, a disabled or hidden one, the wrong
    // kind, or a window whose modal run has already ended.
    bool Click(int id);                          // then OnCommand(id, kNotifyClicked)
    bool ChooseEntry(int id, int position);      // then OnCommand(id, kNotifySelChange)
    bool Scroll(int id, int code, int pos);      // OnHScroll; the bar does not move
    bool SelectTab(int id, int index);           // OnTabChanging, change, OnTabChanged
    bool TypeText(int id, const std::string& text);  // no notification
    bool LoseFocus(int id);                      // OnCommand(id, kNotifyKillFocus)
    // OK and Cancel, the close box and Escape end a modal run when its
    // handler agrees (OnCloseRequest).
    bool Close();                                // the close box
    bool PressEscape();                          // OnCommand(kIdCancel), then as the close box
    bool PressKeys(const std::string& keys);     // a shortcut: as a click of its command
    // GL view only. Messages outside the client area are not delivered: the
    // view does not capture the mouse.
    bool MouseButton(ui::MouseButton button, bool down, int x, int y);
    bool MouseMove(int x, int y);
    bool MouseWheel(int notches, int x, int y);
    bool DoubleClick(int x, int y);
    bool Paint();  // OnPaint when GL is up; clears the pending repaint

    // Inspection.
    int invalidateCount = 0;
    std::vector<MemoryWindow*> Children() const;  // in creation order
    MemoryWindow* Parent() const { return parent_; }
    int TemplateId() const { return template_.id; }
    const DialogTemplate& Template() const { return template_; }
    int ParentContainerId() const { return containerId_; }
    int IconId() const { return iconId_; }
    bool PaintPending() const { return paintPending_; }
    bool IsGlView() const { return glHandler_ != nullptr; }
    bool IsResizable() const { return resizable_; }
    std::string ToolTip(int id) const;
    bool Ended() const { return ended_; }
    int EndResult() const { return endResult_; }
    // The control as created: rectangles of template controls are in dialog
    // units, those of controls created from code in pixels. An empty
    // template (id 0) when there is no such control.
    const ControlTemplate& ControlTemplateOf(int id) const;
    std::vector<int> ControlIds() const;  // in creation order, repeats included

    // Platform side.
    void AttachHandler(WindowHandler* handler) { handler_ = handler; }
    void AttachGlHandler(GlViewHandler* handler) { glHandler_ = handler; }
    MemoryWindow* AddChild(std::unique_ptr<MemoryWindow> child);
    void RemoveChild(MemoryWindow* child);
    void BeginModalRun() { modal_ = true; }
    void SetGlReady(bool ready) { glReady_ = ready; }
    // Clears the `window` of every handler of this window and its children.
    void DetachHandlers();

private:
    struct Tab {
        std::string label;
        void* data = nullptr;
    };
    struct Control {
        ControlTemplate created;
        Rect pixels;
        std::string text;
        bool enabled = true;
        bool visible = true;
        bool readOnly = false;
        bool checked = false;
        std::vector<std::string> entries;
        int selection = -1;
        ScrollInfo scroll;
        std::vector<Tab> tabs;
        int tabSelection = -1;
        std::string toolTip;
    };

    void AddControl(const ControlTemplate& created, const Rect& pixels);
    Control* Find(int id);
    const Control* Find(int id) const;
    // A control a user can reach: present, enabled, shown, window still running.
    Control* Reachable(int id);
    void UncheckGroupOf(std::size_t index);
    bool InsideClient(int x, int y) const;
    // The end of a modal run the user asked for, when the handler agrees.
    void RequestEnd(int result);

    MemoryPlatform& platform_;
    DialogTemplate template_;
    MemoryWindow* parent_;
    int containerId_;
    Rect geometry_;
    bool visible_ = false;
    int iconId_ = 0;
    bool modal_ = false;
    bool ended_ = false;
    int endResult_ = 0;
    bool paintPending_ = false;
    bool glReady_ = false;
    bool modified_ = false;
    bool resizable_ = false;
    Rect smallest_;  // a resizable window's size when it was made
    WindowHandler* handler_ = nullptr;
    GlViewHandler* glHandler_ = nullptr;
    std::vector<Control> controls_;
    std::map<std::string, int> shortcuts_;  // keys → command
    std::vector<std::unique_ptr<MemoryWindow>> children_;
};

}  // namespace ui::memory
