#include "ui/memory/memory_window.h"

#include <algorithm>

#include "text/list_order.h"
#include "ui/memory/memory_platform.h"

namespace ui::memory {

namespace {

constexpr std::size_t kEditLimit = 255;

// The rules of a scroll bar: a page no larger than the range, and the shown
// position within min … max − max(page − 1, 0).
void Normalize(ScrollInfo& s) {
    if (s.max < s.min) s.max = s.min;
    const long long span = static_cast<long long>(s.max) - s.min + 1;
    s.page = static_cast<int>(std::clamp<long long>(s.page, 0, span));
    const int highest = s.max - std::max(s.page - 1, 0);
    s.pos = std::clamp(s.pos, s.min, highest);
}

bool IsClickable(ControlKind kind) {
    switch (kind) {
        case ControlKind::PushButton:
        case ControlKind::DefaultPushButton:
        case ControlKind::AutoRadioButton:
        case ControlKind::RadioPushButton:
        case ControlKind::AutoCheckBox:
            return true;
        default:
            return false;
    }
}

const ControlTemplate& NoControl() {
    static const ControlTemplate none{0, ControlKind::Static, "", {}, kStyleNone};
    return none;
}

}  // namespace

MemoryWindow::MemoryWindow(MemoryPlatform& platform, const DialogTemplate& dialog, MemoryWindow* parent,
                           int containerId)
    : platform_(platform),
      template_(dialog),
      parent_(parent),
      containerId_(containerId),
      geometry_{0, 0, DialogUnitsToPixelsX(dialog.width), DialogUnitsToPixelsY(dialog.height)} {
    for (const ControlTemplate& c : dialog.controls) AddControl(c, DialogUnitsToPixels(c.rect));
}

MemoryWindow::~MemoryWindow() {
    if (platform_.lastModal == this) platform_.lastModal = nullptr;
}

void MemoryWindow::AddControl(const ControlTemplate& created, const Rect& pixels) {
    Control c;
    c.created = created;
    c.pixels = pixels;
    c.text = created.kind == ControlKind::Edit ? created.text.substr(0, kEditLimit) : created.text;
    c.visible = (created.style & kStyleHidden) == 0;
    c.enabled = (created.style & kStyleDisabled) == 0;
    c.readOnly = (created.style & kStyleReadOnly) != 0;
    controls_.push_back(std::move(c));
}

MemoryWindow::Control* MemoryWindow::Find(int id) {
    for (Control& c : controls_) {
        if (c.created.id == id) return &c;
    }
    return nullptr;
}

const MemoryWindow::Control* MemoryWindow::Find(int id) const {
    return const_cast<MemoryWindow*>(this)->Find(id);
}

MemoryWindow::Control* MemoryWindow::Reachable(int id) {
    if (ended_) return nullptr;
    Control* c = Find(id);
    if (c == nullptr || !c->enabled || !c->visible) return nullptr;
    return c;
}

// A group runs from a control with the group style to the next one.
void MemoryWindow::UncheckGroupOf(std::size_t index) {
    std::size_t first = index;
    while (first > 0 && (controls_[first].created.style & kStyleGroup) == 0) --first;
    for (std::size_t i = first; i < controls_.size(); ++i) {
        if (i > first && (controls_[i].created.style & kStyleGroup) != 0) break;
        if (i != index && controls_[i].created.kind == ControlKind::AutoRadioButton) controls_[i].checked = false;
    }
}

bool MemoryWindow::InsideClient(int x, int y) const {
    return x >= 0 && y >= 0 && x < geometry_.width && y < geometry_.height;
}

// --- the window itself

std::string MemoryWindow::Caption() const { return template_.caption; }

Rect MemoryWindow::Geometry() const { return geometry_; }

void MemoryWindow::Move(int x, int y) {
    geometry_.x = x;
    geometry_.y = y;
}

void MemoryWindow::Show(bool visible) { visible_ = visible; }

bool MemoryWindow::IsVisible() const { return visible_; }

void MemoryWindow::Invalidate() {
    ++invalidateCount;
    paintPending_ = true;
}

void MemoryWindow::SetIcon(int iconId) { iconId_ = iconId; }

void MemoryWindow::EndDialog(int result) {
    if (ended_) return;
    ended_ = true;
    endResult_ = result;
}

void MemoryWindow::AllowResize() {
    resizable_ = true;
    smallest_ = geometry_;
}

void MemoryWindow::Resize(int width, int height) {
    if (resizable_) {
        width = std::max(width, smallest_.width);
        height = std::max(height, smallest_.height);
    }
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == geometry_.width && height == geometry_.height) return;
    geometry_.width = width;
    geometry_.height = height;
    if (glHandler_ != nullptr && glReady_) glHandler_->OnSize(width, height);
    if (handler_ != nullptr && resizable_) handler_->OnSize(width, height);
}

void MemoryWindow::RequestEnd(int result) {
    if (!modal_ || ended_) return;
    if (handler_ == nullptr || handler_->OnCloseRequest(result)) EndDialog(result);
}

// --- controls

void MemoryWindow::MoveControl(int id, int x, int y) {
    if (Control* c = Find(id)) {
        c->pixels.x = x;
        c->pixels.y = y;
    }
}

void MemoryWindow::CreateControl(const ControlTemplate& control) { AddControl(control, control.rect); }

bool MemoryWindow::HasControl(int id) const { return Find(id) != nullptr; }

Rect MemoryWindow::ControlGeometry(int id) const {
    const Control* c = Find(id);
    return c ? c->pixels : Rect{};
}

void MemoryWindow::SetText(int id, const std::string& text) {
    Control* c = Find(id);
    if (c == nullptr) return;
    c->text = c->created.kind == ControlKind::Edit ? text.substr(0, kEditLimit) : text;
}

std::string MemoryWindow::Text(int id) const {
    const Control* c = Find(id);
    if (c == nullptr) return {};
    // A drop-down list's text is its selected entry, as the Qt layer's.
    if (c->created.kind == ControlKind::DropDownList) return EntryText(id, c->selection);
    return c->text;
}

void MemoryWindow::Enable(int id, bool enabled) {
    if (Control* c = Find(id)) c->enabled = enabled;
}

bool MemoryWindow::IsEnabled(int id) const {
    const Control* c = Find(id);
    return c != nullptr && c->enabled;
}

void MemoryWindow::ShowControl(int id, bool visible) {
    if (Control* c = Find(id)) c->visible = visible;
}

bool MemoryWindow::IsControlVisible(int id) const {
    const Control* c = Find(id);
    return c != nullptr && c->visible;
}

void MemoryWindow::SetReadOnly(int id, bool readOnly) {
    if (Control* c = Find(id)) c->readOnly = readOnly;
}

void MemoryWindow::SetToolTip(int id, const std::string& text) {
    if (Control* c = Find(id)) c->toolTip = text;
}

std::string MemoryWindow::ToolTip(int id) const {
    const Control* c = Find(id);
    return c != nullptr ? c->toolTip : std::string();
}

void MemoryWindow::AddShortcut(const std::string& keys, int id) { shortcuts_[keys] = id; }

void MemoryWindow::SetCheck(int id, bool checked) {
    if (Control* c = Find(id)) c->checked = checked;
}

bool MemoryWindow::IsChecked(int id) const {
    const Control* c = Find(id);
    return c != nullptr && c->checked;
}

int MemoryWindow::AddEntry(int id, const std::string& text) {
    Control* c = Find(id);
    if (c == nullptr || c->created.kind != ControlKind::DropDownList) return -1;
    auto at = c->entries.end();
    if ((c->created.style & kStyleSorted) != 0) {
        at = std::find_if(c->entries.begin(), c->entries.end(),
                          [&](const std::string& e) { return text::CompareIgnoringCase(e, text) > 0; });
    }
    const int position = static_cast<int>(at - c->entries.begin());
    c->entries.insert(at, text);
    // The selected entry stays selected.
    if (c->selection >= position) ++c->selection;
    return position;
}

int MemoryWindow::EntryCount(int id) const {
    const Control* c = Find(id);
    return c ? static_cast<int>(c->entries.size()) : 0;
}

std::string MemoryWindow::EntryText(int id, int position) const {
    const Control* c = Find(id);
    if (c == nullptr || position < 0 || position >= static_cast<int>(c->entries.size())) return {};
    return c->entries[static_cast<std::size_t>(position)];
}

int MemoryWindow::Selection(int id) const {
    const Control* c = Find(id);
    return c ? c->selection : -1;
}

void MemoryWindow::SetSelection(int id, int position) {
    Control* c = Find(id);
    if (c == nullptr) return;
    // A position that names no entry clears the selection.
    c->selection = position >= 0 && position < static_cast<int>(c->entries.size()) ? position : -1;
}

void MemoryWindow::SetScrollRange(int id, int min, int max) {
    Control* c = Find(id);
    if (c == nullptr) return;
    c->scroll.min = min;
    c->scroll.max = max;
    Normalize(c->scroll);
}

void MemoryWindow::SetScrollPos(int id, int pos) {
    Control* c = Find(id);
    if (c == nullptr) return;
    c->scroll.pos = pos;
    Normalize(c->scroll);
}

void MemoryWindow::SetScrollInfo(int id, const ScrollInfo& info) {
    Control* c = Find(id);
    if (c == nullptr) return;
    const int trackPos = c->scroll.trackPos;
    c->scroll = info;
    c->scroll.trackPos = trackPos;
    Normalize(c->scroll);
}

ScrollInfo MemoryWindow::GetScrollInfo(int id) const {
    const Control* c = Find(id);
    return c ? c->scroll : ScrollInfo{};
}

int MemoryWindow::InsertTab(int id, int index, const std::string& label, void* data) {
    Control* c = Find(id);
    if (c == nullptr || c->created.kind != ControlKind::TabStrip) return -1;
    index = std::clamp(index, 0, static_cast<int>(c->tabs.size()));
    c->tabs.insert(c->tabs.begin() + index, Tab{label, data});
    if (c->tabSelection < 0) {
        c->tabSelection = 0;  // the first tab is selected
    } else if (c->tabSelection >= index) {
        ++c->tabSelection;
    }
    return index;
}

int MemoryWindow::TabCount(int id) const {
    const Control* c = Find(id);
    return c ? static_cast<int>(c->tabs.size()) : 0;
}

std::string MemoryWindow::TabLabel(int id, int index) const {
    const Control* c = Find(id);
    if (c == nullptr || index < 0 || index >= static_cast<int>(c->tabs.size())) return {};
    return c->tabs[static_cast<std::size_t>(index)].label;
}

void* MemoryWindow::TabData(int id, int index) const {
    const Control* c = Find(id);
    if (c == nullptr || index < 0 || index >= static_cast<int>(c->tabs.size())) return nullptr;
    return c->tabs[static_cast<std::size_t>(index)].data;
}

void MemoryWindow::SetTabData(int id, int index, void* data) {
    Control* c = Find(id);
    if (c == nullptr || index < 0 || index >= static_cast<int>(c->tabs.size())) return;
    c->tabs[static_cast<std::size_t>(index)].data = data;
}

int MemoryWindow::TabSelection(int id) const {
    const Control* c = Find(id);
    return c ? c->tabSelection : -1;
}

void MemoryWindow::SetTabSelection(int id, int index) {
    Control* c = Find(id);
    if (c == nullptr || index < 0 || index >= static_cast<int>(c->tabs.size())) return;
    c->tabSelection = index;
}

// --- user actions

bool MemoryWindow::Click(int id) {
    Control* c = Reachable(id);
    if (c == nullptr || !IsClickable(c->created.kind)) return false;
    switch (c->created.kind) {
        case ControlKind::AutoRadioButton:
            c->checked = true;
            UncheckGroupOf(static_cast<std::size_t>(c - controls_.data()));
            break;
        case ControlKind::AutoCheckBox:
            c->checked = !c->checked;
            break;
        default:
            break;  // push buttons, and radio push buttons whose check only the handler sets
    }
    if (handler_) handler_->OnCommand(id, kNotifyClicked);
    if (id == kIdOk || id == kIdCancel) RequestEnd(id);
    return true;
}

bool MemoryWindow::ChooseEntry(int id, int position) {
    Control* c = Reachable(id);
    if (c == nullptr || c->created.kind != ControlKind::DropDownList) return false;
    if (position < 0 || position >= static_cast<int>(c->entries.size())) return false;
    c->selection = position;
    if (handler_) handler_->OnCommand(id, kNotifySelChange);
    return true;
}

bool MemoryWindow::Scroll(int id, int code, int pos) {
    Control* c = Reachable(id);
    if (c == nullptr || c->created.kind != ControlKind::HScrollBar) return false;
    // The thumb's place while dragged and at its release; the shown position
    // is the handler's to set.
    if (code == kScrollThumbTrack || code == kScrollThumbPosition) c->scroll.trackPos = pos;
    if (handler_) handler_->OnHScroll(id, code, pos);
    return true;
}

bool MemoryWindow::SelectTab(int id, int index) {
    Control* c = Reachable(id);
    if (c == nullptr || c->created.kind != ControlKind::TabStrip) return false;
    if (index < 0 || index >= static_cast<int>(c->tabs.size()) || index == c->tabSelection) return false;
    if (handler_) handler_->OnTabChanging(id);
    if (Control* again = Find(id)) again->tabSelection = index;
    if (handler_) handler_->OnTabChanged(id);
    return true;
}

bool MemoryWindow::TypeText(int id, const std::string& text) {
    Control* c = Reachable(id);
    if (c == nullptr || c->created.kind != ControlKind::Edit || c->readOnly) return false;
    c->text = text.substr(0, kEditLimit);
    return true;
}

bool MemoryWindow::LoseFocus(int id) {
    Control* c = Reachable(id);
    if (c == nullptr || c->created.kind != ControlKind::Edit) return false;
    if (handler_) handler_->OnCommand(id, kNotifyKillFocus);
    return true;
}

bool MemoryWindow::PressKeys(const std::string& keys) {
    const auto it = shortcuts_.find(keys);
    if (it == shortcuts_.end() || ended_) return false;
    const Control* c = Find(it->second);
    if ((c != nullptr && !c->enabled) || handler_ == nullptr) return false;
    handler_->OnCommand(it->second, kNotifyClicked);
    return true;
}

bool MemoryWindow::Close() {
    if (!modal_ || ended_) return false;
    RequestEnd(kIdCancel);
    return true;
}

bool MemoryWindow::PressEscape() {
    if (!modal_ || ended_) return false;
    // As a click on Cancel: the command first, then the end of the run.
    if (handler_) handler_->OnCommand(kIdCancel, kNotifyClicked);
    RequestEnd(kIdCancel);
    return true;
}

bool MemoryWindow::MouseButton(ui::MouseButton button, bool down, int x, int y) {
    if (glHandler_ == nullptr || !InsideClient(x, y)) return false;
    glHandler_->OnMouseButton(button, down, x, y);
    return true;
}

bool MemoryWindow::MouseMove(int x, int y) {
    if (glHandler_ == nullptr || !InsideClient(x, y)) return false;
    glHandler_->OnMouseMove(x, y);
    return true;
}

bool MemoryWindow::MouseWheel(int notches, int x, int y) {
    if (glHandler_ == nullptr || !InsideClient(x, y)) return false;
    glHandler_->OnMouseWheel(notches, x, y);
    return true;
}

bool MemoryWindow::DoubleClick(int x, int y) {
    if (glHandler_ == nullptr || !InsideClient(x, y)) return false;
    glHandler_->OnDoubleClick(x, y);
    return true;
}

bool MemoryWindow::Paint() {
    paintPending_ = false;
    if (glHandler_ == nullptr || !glReady_) return false;
    glHandler_->OnPaint();
    return true;
}

// --- inspection and platform side

std::vector<MemoryWindow*> MemoryWindow::Children() const {
    std::vector<MemoryWindow*> result;
    result.reserve(children_.size());
    for (const auto& child : children_) result.push_back(child.get());
    return result;
}

const ControlTemplate& MemoryWindow::ControlTemplateOf(int id) const {
    const Control* c = Find(id);
    return c ? c->created : NoControl();
}

std::vector<int> MemoryWindow::ControlIds() const {
    std::vector<int> ids;
    ids.reserve(controls_.size());
    for (const Control& c : controls_) ids.push_back(c.created.id);
    return ids;
}

MemoryWindow* MemoryWindow::AddChild(std::unique_ptr<MemoryWindow> child) {
    children_.push_back(std::move(child));
    return children_.back().get();
}

void MemoryWindow::RemoveChild(MemoryWindow* child) {
    children_.erase(std::remove_if(children_.begin(), children_.end(),
                                   [&](const std::unique_ptr<MemoryWindow>& c) { return c.get() == child; }),
                    children_.end());
}

void MemoryWindow::DetachHandlers() {
    for (auto& child : children_) child->DetachHandlers();
    if (handler_ && handler_->window == this) handler_->window = nullptr;
    if (glHandler_ && glHandler_->window == this) glHandler_->window = nullptr;
    handler_ = nullptr;
    glHandler_ = nullptr;
}

}  // namespace ui::memory
