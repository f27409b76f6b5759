// The toolkit-neutral window interface: a window built from a dialog
// template, its controls addressed by id, and the handlers that receive
// what the user does. The Qt implementation lives in ui/qt, the in-memory
// one for tests in ui/memory. Nothing here includes a toolkit header.
#pragma once

#include <string>

#include "ui/dialog_template.h"

namespace ui {

// Notification codes of a command (the same numbers as the dialog messages
// they stand for).
constexpr int kNotifyClicked = 0;        // push button, radio button, check box
constexpr int kNotifySelChange = 1;      // drop-down list: the user chose an entry
constexpr int kNotifyKillFocus = 0x200;  // edit field lost the keyboard focus

// Codes of a horizontal scroll message.
enum ScrollCode : int {
    kScrollLineLeft = 0,
    kScrollLineRight = 1,
    kScrollPageLeft = 2,
    kScrollPageRight = 3,
    kScrollThumbPosition = 4,  // the thumb was released after a drag
    kScrollThumbTrack = 5,     // the thumb is being dragged
    kScrollLeft = 6,           // top
    kScrollRight = 7,          // bottom
    kScrollEnd = 8,            // end of scrolling, after every action
};

struct ScrollInfo {
    int min = 0;
    int max = 0;
    int page = 0;
    int pos = 0;
    int trackPos = 0;  // position of the thumb while it is dragged
};

// A window on the screen (a dialog, a child page or the GL view). Created by
// the Platform; owned by the platform (a modal run's window) or by its parent
// window (child pages, the view). Positions and sizes are pixels.
class Window {
public:
    virtual ~Window() = default;

    // The window itself.
    virtual std::string Caption() const = 0;
    virtual Rect Geometry() const = 0;  // in the parent's client area
    virtual void Move(int x, int y) = 0;  // keeps size and z-order
    virtual void Show(bool visible) = 0;
    virtual bool IsVisible() const = 0;
    // Repaint request: the whole client area, without erasing; any number of
    // requests before the next paint give one paint.
    virtual void Invalidate() = 0;
    virtual void SetIcon(int iconId) = 0;
    // Ends a modal run with the given result (kIdOk, kIdCancel).
    virtual void EndDialog(int result) = 0;
    // The title's mark of unsaved changes, shown while `modified`.
    virtual void SetModified(bool modified) = 0;
    virtual bool IsModified() const = 0;
    // A top-level window the user may resize and maximise, never below the
    // size it was created with; each new size reaches its handler's OnSize.
    virtual void AllowResize() = 0;
    // The client size, in pixels; a resizable top-level window keeps within
    // its smallest size and the screen.
    virtual void Resize(int width, int height) = 0;

    // Controls, by id. Controls created from code get the default GUI font
    // and are shown; rect is in pixels.
    virtual void CreateControl(const ControlTemplate& control) = 0;
    virtual bool HasControl(int id) const = 0;
    virtual Rect ControlGeometry(int id) const = 0;  // pixels
    virtual void MoveControl(int id, int x, int y) = 0;  // pixels; keeps its size
    virtual void SetText(int id, const std::string& text) = 0;
    virtual std::string Text(int id) const = 0;
    virtual void Enable(int id, bool enabled) = 0;
    virtual bool IsEnabled(int id) const = 0;
    virtual void ShowControl(int id, bool visible) = 0;
    virtual bool IsControlVisible(int id) const = 0;
    virtual void SetReadOnly(int id, bool readOnly) = 0;
    // The text a control shows while the pointer rests on it.
    virtual void SetToolTip(int id, const std::string& text) = 0;
    // A key combination ("Ctrl+Z") anywhere in the window acts as a click of
    // the command `id` while that control is enabled (always, for a command
    // without a control), except in an edit field being typed in, which
    // keeps the keys it edits text with.
    virtual void AddShortcut(const std::string& keys, int id) = 0;
    // Radio buttons and check boxes. Setting a check from code notifies nobody.
    virtual void SetCheck(int id, bool checked) = 0;
    virtual bool IsChecked(int id) const = 0;

    // Drop-down lists. Positions are zero-based; -1 means no selection.
    // Setting the selection from code sends no notification.
    virtual int AddEntry(int id, const std::string& text) = 0;  // the position it took
    virtual int EntryCount(int id) const = 0;
    virtual std::string EntryText(int id, int position) const = 0;
    virtual int Selection(int id) const = 0;
    virtual void SetSelection(int id, int position) = 0;

    // Horizontal scroll bars. The shown position stays within
    // min … max − max(page − 1, 0); the bar redraws at once.
    virtual void SetScrollRange(int id, int min, int max) = 0;
    virtual void SetScrollPos(int id, int pos) = 0;
    virtual void SetScrollInfo(int id, const ScrollInfo& info) = 0;  // min, max, page, pos
    virtual ScrollInfo GetScrollInfo(int id) const = 0;

    // Tab strips: items with a label and a stored pointer (the page).
    // Setting the selection from code sends no notification.
    virtual int InsertTab(int id, int index, const std::string& label, void* data) = 0;
    virtual int TabCount(int id) const = 0;
    virtual std::string TabLabel(int id, int index) const = 0;
    virtual void* TabData(int id, int index) const = 0;
    virtual void SetTabData(int id, int index, void* data) = 0;
    virtual int TabSelection(int id) const = 0;
    virtual void SetTabSelection(int id, int index) = 0;
};

// What a dialog or child page does with the user's actions. The platform
// sets `window` before OnInitDialog and clears it when the window is gone.
// Handlers that do not care about a message leave the default, which is the
// toolkit's default processing.
class WindowHandler {
public:
    virtual ~WindowHandler() = default;

    // The window and the template's controls exist; not yet shown. The
    // result says whether the toolkit gives the focus to the first control.
    virtual bool OnInitDialog() { return true; }
    virtual void OnCommand(int /*id*/, int /*code*/) {}
    virtual void OnHScroll(int /*barId*/, int /*code*/, int /*pos*/) {}
    // Tab strip notices: the selection is about to change (the current
    // selection is still the old one), and it has changed.
    virtual void OnTabChanging(int /*tabId*/) {}
    virtual void OnTabChanged(int /*tabId*/) {}
    // The user asks to end a modal run: OK, Cancel, Escape or the close box
    // (`result` is what the run would end with). False keeps it running.
    virtual bool OnCloseRequest(int /*result*/) { return true; }
    // A resizable window's new client size, in pixels (also the first, when
    // it is shown).
    virtual void OnSize(int /*width*/, int /*height*/) {}

    Window* window = nullptr;
};

enum class MouseButton { Left, Right };

// Result of binding OpenGL to the view window.
enum class GlStatus {
    Ok,
    PixelFormatFailed,  // no usable double-buffered RGBA format with depth
    ContextFailed,      // the context could not be created or made current
};

// What the OpenGL view window does. Positions are client pixels, x to the
// right, y downward; sizes are device pixels (the viewport's units).
class GlViewHandler {
public:
    virtual ~GlViewHandler() = default;

    // The window exists (not yet shown); the GL context may not be current yet.
    // False fails the creation.
    virtual bool OnCreate() { return true; }
    // Once, when the context has been set up (or failed to be): from here on
    // the context is current whenever a handler below runs. False: the view
    // stays without drawing.
    virtual bool OnGlInit(GlStatus status) = 0;
    virtual void OnSize(int width, int height) = 0;
    virtual void OnPaint() = 0;  // buffers are swapped after it returns
    virtual void OnMouseButton(MouseButton button, bool down, int x, int y) = 0;
    virtual void OnMouseMove(int x, int y) = 0;
    // The wheel turned by whole notches: positive away from the user.
    virtual void OnMouseWheel(int /*notches*/, int /*x*/, int /*y*/) {}
    virtual void OnDoubleClick(int /*x*/, int /*y*/) {}

    Window* window = nullptr;
};

}  // namespace ui
