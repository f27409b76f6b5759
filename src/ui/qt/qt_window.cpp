#include "ui/qt/qt_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QScreen>
#include <QShortcut>

#include <algorithm>
#include <cmath>

#include "text/list_order.h"
#include "ui/qt/qt_gl_view.h"
#include "ui/qt/qt_icons.h"
#include "ui/qt/qt_label_fit.h"
#include "ui/qt/qt_widgets.h"

namespace ui::qt {

namespace {

constexpr int kEditLimit = 255;

// The window of a modal run: the close box and the Escape key go to the
// window, which ends the run the toolkit's way.
class ModalDialog : public QDialog {
public:
    ModalDialog(QWidget* parent, Qt::WindowFlags flags, QtWindow* owner) : QDialog(parent, flags), owner(owner) {}
    QtWindow* owner;

protected:
    void closeEvent(QCloseEvent* event) override {
        if (owner == nullptr) {
            QDialog::closeEvent(event);
            return;
        }
        event->ignore();  // the run's end hides the window
        owner->CloseBox();
    }
    void reject() override {
        if (owner == nullptr) {
            QDialog::reject();
            return;
        }
        owner->EscapeKey();
    }
    void resizeEvent(QResizeEvent* event) override {
        QDialog::resizeEvent(event);
        if (owner != nullptr) owner->Resized();
    }
};

// The title's placeholder for the modified mark.
const QString kModifiedMark = QStringLiteral("[*]");

QString ToQt(const std::string& text) { return QString::fromStdString(text); }

std::string FromQt(const QString& text) { return text.toStdString(); }

Rect FromQt(const QRect& r) { return Rect{r.x(), r.y(), r.width(), r.height()}; }

bool ShowsText(ControlKind kind) {
    return kind == ControlKind::Static || kind == ControlKind::AutoRadioButton || kind == ControlKind::AutoCheckBox;
}

// The width that shows the whole text on one line (a mark's included).
int TextWidth(const QWidget& widget, ControlKind kind) {
    if (kind != ControlKind::Static) return widget.sizeHint().width();
    const auto& label = static_cast<const QLabel&>(widget);
    if (label.text().isEmpty()) return 0;
    // Fractional advances: a label a pixel short wraps its last word away.
    const qreal text = QFontMetricsF(label.font()).size(0, label.text()).width();
    const QMargins margins = label.contentsMargins();
    return static_cast<int>(std::ceil(text)) + margins.left() + margins.right() + 2 * label.margin();
}

// The text an entry was added with, byte for byte.
std::string EntryBytes(const QComboBox& combo, int position) {
    const QVariant bytes = combo.itemData(position);
    if (bytes.typeId() == QMetaType::QByteArray) return bytes.toByteArray().toStdString();
    return FromQt(combo.itemText(position));
}

}  // namespace

QtWindow::QtWindow(Kind kind, const DialogTemplate& dialog, QtWindow* parent)
    : kind_(kind), templateId_(dialog.id), parent_(parent) {}

QtWindow::~QtWindow() {
    Silence();
    children_.clear();  // each child deletes its own widget first
    delete root_.data();
}

std::unique_ptr<QtWindow> QtWindow::CreateModal(const DialogTemplate& dialog, WindowHandler& handler,
                                                QWidget* owner) {
    std::unique_ptr<QtWindow> window(new QtWindow(Kind::Modal, dialog, nullptr));
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                            Qt::WindowCloseButtonHint;
    // The main window can be minimised; a box over another window cannot.
    if (owner == nullptr) flags |= Qt::WindowMinimizeButtonHint;
    auto* d = new ModalDialog(owner, flags, window.get());
    d->setWindowTitle(ToQt(dialog.caption));
    d->setFixedSize(DialogUnitsToPixelsX(dialog.width), DialogUnitsToPixelsY(dialog.height));
    d->setSizeGripEnabled(false);
    window->root_ = d;
    window->dialog_ = d;
    window->BuildControls(dialog);
    window->handler_ = &handler;
    return window;
}

QtWindow* QtWindow::CreatePage(const DialogTemplate& dialog, WindowHandler& handler, int containerId) {
    QWidget* parentWidget = root_.data();
    if (containerId != 0) {
        parentWidget = Widget<TabStripControl>(containerId, ControlKind::TabStrip);
        if (parentWidget == nullptr) return nullptr;
    }
    if (parentWidget == nullptr) return nullptr;
    std::unique_ptr<QtWindow> child(new QtWindow(Kind::Page, dialog, this));
    auto* page = new QWidget(parentWidget);
    page->hide();
    page->setGeometry(0, 0, DialogUnitsToPixelsX(dialog.width), DialogUnitsToPixelsY(dialog.height));
    child->root_ = page;
    child->BuildControls(dialog);
    child->handler_ = &handler;
    children_.push_back(std::move(child));
    return children_.back().get();
}

QtWindow* QtWindow::CreateGlView(const DialogTemplate& dialog, GlViewHandler& handler) {
    if (root_.isNull()) return nullptr;
    std::unique_ptr<QtWindow> child(new QtWindow(Kind::GlView, dialog, this));
    auto* view = new GlViewWidget(root_.data(), handler);
    view->hide();
    view->setGeometry(0, 0, DialogUnitsToPixelsX(dialog.width), DialogUnitsToPixelsY(dialog.height));
    child->root_ = view;
    child->glView_ = view;
    child->glHandler_ = &handler;
    children_.push_back(std::move(child));
    return children_.back().get();
}

void QtWindow::DestroyChild(QtWindow* child) {
    auto it = std::find_if(children_.begin(), children_.end(),
                           [&](const std::unique_ptr<QtWindow>& c) { return c.get() == child; });
    if (it == children_.end()) return;
    (*it)->Silence();
    children_.erase(it);
}

void QtWindow::BuildControls(const DialogTemplate& dialog) {
    const QFont font = QApplication::font();
    for (const ControlTemplate& c : dialog.controls) AddControl(c, DialogUnitsToPixels(c.rect), font);
    for (std::size_t i = 0; i < controls_.size(); ++i) FitToText(i);
}

void QtWindow::FitToText(std::size_t index) {
    const Control& c = controls_[index];
    if (!ShowsText(c.kind) || c.widget.isNull() || root_.isNull()) return;
    std::vector<QRect> others;
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        if (i != index && !controls_[i].widget.isNull()) others.push_back(controls_[i].widget->geometry());
    }
    const Growth growth = c.kind == ControlKind::Static && (c.style & kStyleRightAlign) != 0 ? Growth::Leftward
                                                                                            : Growth::Rightward;
    c.widget->setGeometry(qt::FitToText(c.base, TextWidth(*c.widget, c.kind), growth, others, root_->width()));
}

void QtWindow::AddControl(const ControlTemplate& c, const Rect& px, const QFont& font) {
    QWidget* parent = root_.data();
    if (parent == nullptr) return;
    const std::size_t index = controls_.size();
    const QString text = ToQt(c.text);
    QRect geometry(px.x, px.y, px.width, px.height);
    QWidget* widget = nullptr;
    switch (c.kind) {
        case ControlKind::PushButton:
        case ControlKind::DefaultPushButton: {
            auto* b = new QPushButton(text, parent);
            b->setDefault(c.kind == ControlKind::DefaultPushButton);
            QObject::connect(b, &QAbstractButton::clicked, b, [this, index] { UserClicked(index); });
            widget = b;
            break;
        }
        case ControlKind::AutoRadioButton: {
            auto* b = new AutoRadioButton(text, parent);
            b->setStyle(CompactStyle::Instance());
            b->setAutoExclusive(false);  // groups follow the group style, see UncheckGroupOf
            QObject::connect(b, &QAbstractButton::clicked, b, [this, index] { UserClicked(index); });
            widget = b;
            break;
        }
        case ControlKind::RadioPushButton: {
            auto* b = new RadioPushButton(parent);
            b->setText(text);
            b->setAutoDefault(false);
            QObject::connect(b, &QAbstractButton::clicked, b, [this, index] { UserClicked(index); });
            widget = b;
            break;
        }
        case ControlKind::AutoCheckBox: {
            auto* b = new QCheckBox(text, parent);
            b->setStyle(CompactStyle::Instance());
            QObject::connect(b, &QAbstractButton::clicked, b, [this, index] { UserClicked(index); });
            widget = b;
            break;
        }
        case ControlKind::GroupBox:
            widget = new QGroupBox(text, parent);
            break;
        case ControlKind::Static: {
            auto* label = new QLabel(text, parent);
            label->setTextFormat(Qt::PlainText);
            label->setWordWrap(true);
            label->setAlignment(Qt::AlignTop |
                                ((c.style & kStyleRightAlign) != 0 ? Qt::AlignRight : Qt::AlignLeft));
            widget = label;
            break;
        }
        case ControlKind::DropDownList: {
            auto* combo = new QComboBox(parent);
            combo->setFont(font);
            // The rectangle's height includes the dropped-down list.
            const int closed = std::min(px.height, combo->sizeHint().height());
            const int rowHeight = combo->fontMetrics().height() + 4;
            combo->setMaxVisibleItems(std::clamp((px.height - closed) / std::max(rowHeight, 1), 1, 30));
            geometry.setHeight(closed);
            const int id = c.id;
            QObject::connect(combo, &QComboBox::activated, combo, [this, id] { UserChoseEntry(id); });
            widget = combo;
            break;
        }
        case ControlKind::Edit: {
            auto* edit = new EditControl(parent, this, c.id);
            edit->setMaxLength(kEditLimit);
            edit->setText(text);
            edit->setCursorPosition(0);
            edit->setReadOnly((c.style & kStyleReadOnly) != 0);
            widget = edit;
            break;
        }
        case ControlKind::HScrollBar:
            widget = new ScrollBarControl(parent, this, c.id);
            break;
        case ControlKind::TabStrip:
            widget = new TabStripControl(parent, this, c.id);
            break;
    }
    if (widget == nullptr) return;
    widget->setFont(font);
    widget->setGeometry(geometry);
    widget->setEnabled((c.style & kStyleDisabled) == 0);
    widget->setVisible((c.style & kStyleHidden) == 0);
    controls_.push_back(Control{c.id, c.kind, c.style, widget, geometry});
}

const QtWindow::Control* QtWindow::Find(int id) const {
    for (const Control& c : controls_) {
        if (c.id == id && !c.widget.isNull()) return &c;
    }
    return nullptr;
}

QtWindow::Control* QtWindow::Find(int id) {
    return const_cast<Control*>(static_cast<const QtWindow*>(this)->Find(id));
}

template <typename W>
W* QtWindow::Widget(int id, ControlKind kind) const {
    const Control* c = Find(id);
    if (c == nullptr || c->kind != kind) return nullptr;
    return static_cast<W*>(c->widget.data());
}

QWidget* QtWindow::ControlWidget(int id) const {
    const Control* c = Find(id);
    return c ? c->widget.data() : nullptr;
}

void QtWindow::Silence() {
    for (auto& child : children_) child->Silence();
    for (Control& c : controls_) {
        if (c.widget.isNull()) continue;
        c.widget->blockSignals(true);
        switch (c.kind) {
            case ControlKind::Edit:
                static_cast<EditControl*>(c.widget.data())->owner = nullptr;
                break;
            case ControlKind::HScrollBar:
                static_cast<ScrollBarControl*>(c.widget.data())->owner = nullptr;
                break;
            case ControlKind::TabStrip: {
                auto* strip = static_cast<TabStripControl*>(c.widget.data());
                strip->owner = nullptr;
                strip->Bar()->blockSignals(true);
                break;
            }
            default:
                break;
        }
    }
    if (dialog_ != nullptr && !root_.isNull()) static_cast<ModalDialog*>(dialog_)->owner = nullptr;
    if (glView_ != nullptr && !root_.isNull()) glView_->Detach();
    handler_ = nullptr;
    glHandler_ = nullptr;
}

void QtWindow::DetachHandlers() {
    for (auto& child : children_) child->DetachHandlers();
    if (handler_ != nullptr && handler_->window == this) handler_->window = nullptr;
    if (glHandler_ != nullptr && glHandler_->window == this) glHandler_->window = nullptr;
    handler_ = nullptr;
    glHandler_ = nullptr;
    if (glView_ != nullptr && !root_.isNull()) glView_->Detach();
}

int QtWindow::Exec() {
    if (dialog_ == nullptr) return kIdCancel;
    if (!ended_) dialog_->exec();
    return endResult_;
}

// --- the window itself

std::string QtWindow::Caption() const {
    if (!root_) return {};
    QString title = root_->windowTitle();
    if (title.endsWith(kModifiedMark)) title.chop(kModifiedMark.size());
    return FromQt(title);
}

Rect QtWindow::Geometry() const { return root_ ? FromQt(root_->geometry()) : Rect{}; }

void QtWindow::Move(int x, int y) {
    if (!root_) return;
    // A page of a tab strip keeps clear of the strip's tabs.
    if (auto* strip = dynamic_cast<TabStripControl*>(root_->parentWidget()); strip != nullptr && kind_ == Kind::Page) {
        strip->PlacePage(root_.data(), QPoint(x, y));
        return;
    }
    root_->move(x, y);
}

void QtWindow::Show(bool visible) {
    if (root_) root_->setVisible(visible);
}

bool QtWindow::IsVisible() const { return root_ && !root_->isHidden(); }

void QtWindow::Invalidate() {
    if (root_) root_->update();
}

void QtWindow::SetIcon(int iconId) {
    if (root_ && iconId == kAppIconId) root_->setWindowIcon(AppIcon());
}

void QtWindow::EndDialog(int result) {
    if (kind_ != Kind::Modal || ended_) return;
    ended_ = true;
    endResult_ = result;
    if (dialog_ != nullptr) dialog_->done(result);
}

void QtWindow::SetModified(bool modified) {
    if (!root_) return;
    if (!root_->windowTitle().endsWith(kModifiedMark)) root_->setWindowTitle(root_->windowTitle() + kModifiedMark);
    root_->setWindowModified(modified);
}

bool QtWindow::IsModified() const { return root_ && root_->isWindowModified(); }

void QtWindow::AllowResize() {
    if (dialog_ == nullptr) return;
    resizable_ = true;
    const bool shown = dialog_->isVisible();
    dialog_->setMinimumSize(dialog_->size());
    dialog_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    dialog_->setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    if (shown) dialog_->show();  // a change of flags hides a shown window
}

void QtWindow::Resize(int width, int height) {
    if (!root_) return;
    QSize size(width, height);
    if (dialog_ != nullptr) {
        size = size.expandedTo(dialog_->minimumSize());
        // Never beyond the screen the window is on.
        if (const QScreen* screen = dialog_->screen()) size = size.boundedTo(screen->availableGeometry().size());
        size = size.expandedTo(dialog_->minimumSize()).boundedTo(dialog_->maximumSize());
    }
    root_->resize(size);
}

void QtWindow::Resized() {
    if (resizable_ && handler_ != nullptr && root_) handler_->OnSize(root_->width(), root_->height());
}

// --- controls

void QtWindow::MoveControl(int id, int x, int y) {
    Control* c = Find(id);
    if (c == nullptr) return;
    c->widget->move(x, y);
    c->base.moveTo(x, y);
}

void QtWindow::CreateControl(const ControlTemplate& control) {
    const std::size_t before = controls_.size();
    AddControl(control, control.rect, QApplication::font());
    if (controls_.size() == before) return;
    // The newcomer may need room, or stand where a widened label went.
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const Control& c = controls_[i];
        if (i == before || (!c.widget.isNull() && c.widget->geometry() != c.base)) FitToText(i);
    }
}

bool QtWindow::HasControl(int id) const { return Find(id) != nullptr; }

Rect QtWindow::ControlGeometry(int id) const {
    const Control* c = Find(id);
    return c ? FromQt(c->widget->geometry()) : Rect{};
}

void QtWindow::SetText(int id, const std::string& text) {
    const Control* c = Find(id);
    if (c == nullptr) return;
    QWidget* w = c->widget.data();
    switch (c->kind) {
        case ControlKind::PushButton:
        case ControlKind::DefaultPushButton:
        case ControlKind::AutoRadioButton:
        case ControlKind::RadioPushButton:
        case ControlKind::AutoCheckBox:
            static_cast<QAbstractButton*>(w)->setText(ToQt(text));
            break;
        case ControlKind::GroupBox:
            static_cast<QGroupBox*>(w)->setTitle(ToQt(text));
            break;
        case ControlKind::Static:
            static_cast<QLabel*>(w)->setText(ToQt(text));
            break;
        case ControlKind::Edit: {
            auto* edit = static_cast<QLineEdit*>(w);
            edit->setText(ToQt(text));  // cut to the edit's limit
            edit->setCursorPosition(0);
            break;
        }
        default:
            break;
    }
    FitToText(static_cast<std::size_t>(c - controls_.data()));
}

std::string QtWindow::Text(int id) const {
    const Control* c = Find(id);
    if (c == nullptr) return {};
    const QWidget* w = c->widget.data();
    switch (c->kind) {
        case ControlKind::PushButton:
        case ControlKind::DefaultPushButton:
        case ControlKind::AutoRadioButton:
        case ControlKind::RadioPushButton:
        case ControlKind::AutoCheckBox:
            return FromQt(static_cast<const QAbstractButton*>(w)->text());
        case ControlKind::GroupBox:
            return FromQt(static_cast<const QGroupBox*>(w)->title());
        case ControlKind::Static:
            return FromQt(static_cast<const QLabel*>(w)->text());
        case ControlKind::Edit:
            return FromQt(static_cast<const QLineEdit*>(w)->text());
        case ControlKind::DropDownList: {
            const auto* combo = static_cast<const QComboBox*>(w);
            return combo->currentIndex() < 0 ? std::string() : EntryBytes(*combo, combo->currentIndex());
        }
        default:
            return {};
    }
}

void QtWindow::Enable(int id, bool enabled) {
    if (const Control* c = Find(id)) c->widget->setEnabled(enabled);
}

bool QtWindow::IsEnabled(int id) const {
    const Control* c = Find(id);
    // The control's own state, whatever its window's.
    return c != nullptr && !c->widget->testAttribute(Qt::WA_ForceDisabled);
}

void QtWindow::ShowControl(int id, bool visible) {
    if (const Control* c = Find(id)) c->widget->setVisible(visible);
}

bool QtWindow::IsControlVisible(int id) const {
    const Control* c = Find(id);
    return c != nullptr && !c->widget->isHidden();
}

void QtWindow::SetReadOnly(int id, bool readOnly) {
    if (auto* edit = Widget<QLineEdit>(id, ControlKind::Edit)) edit->setReadOnly(readOnly);
}

void QtWindow::SetToolTip(int id, const std::string& text) {
    const Control* c = Find(id);
    if (c != nullptr && c->widget != nullptr) c->widget->setToolTip(QString::fromStdString(text));
}

void QtWindow::AddShortcut(const std::string& keys, int id) {
    if (root_ == nullptr) return;
    // An edit field with the focus takes its own undo and redo keys first
    // (it asks for them before the window's shortcuts see them).
    auto* shortcut = new QShortcut(QKeySequence(QString::fromStdString(keys)), root_.data());
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, root_.data(), [this, id] {
        if (handler_ != nullptr && !ended_ && (!HasControl(id) || IsEnabled(id))) {
            handler_->OnCommand(id, kNotifyClicked);
        }
    });
}

void QtWindow::SetCheck(int id, bool checked) {
    const Control* c = Find(id);
    if (c == nullptr) return;
    auto* button = qobject_cast<QAbstractButton*>(c->widget.data());
    if (button != nullptr && button->isCheckable()) button->setChecked(checked);
}

bool QtWindow::IsChecked(int id) const {
    const Control* c = Find(id);
    if (c == nullptr) return false;
    auto* button = qobject_cast<const QAbstractButton*>(c->widget.data());
    return button != nullptr && button->isChecked();
}

int QtWindow::AddEntry(int id, const std::string& text) {
    auto* combo = Widget<QComboBox>(id, ControlKind::DropDownList);
    if (combo == nullptr) return -1;
    int position = combo->count();
    if ((Find(id)->style & kStyleSorted) != 0) {
        position = 0;
        while (position < combo->count() && text::CompareIgnoringCase(EntryBytes(*combo, position), text) <= 0) {
            ++position;
        }
    }
    const int before = combo->currentIndex();
    // The shown text may have lost bytes that are no UTF-8 (a file name in
    // another encoding); the entry keeps the original bytes for the program.
    combo->insertItem(position, ToQt(text), QByteArray::fromStdString(text));
    // Qt selects the first entry of an empty list; the program selects itself.
    if (before < 0) combo->setCurrentIndex(-1);
    return position;
}

int QtWindow::EntryCount(int id) const {
    auto* combo = Widget<QComboBox>(id, ControlKind::DropDownList);
    return combo ? combo->count() : 0;
}

std::string QtWindow::EntryText(int id, int position) const {
    auto* combo = Widget<QComboBox>(id, ControlKind::DropDownList);
    if (combo == nullptr || position < 0 || position >= combo->count()) return {};
    return EntryBytes(*combo, position);
}

int QtWindow::Selection(int id) const {
    auto* combo = Widget<QComboBox>(id, ControlKind::DropDownList);
    return combo ? combo->currentIndex() : -1;
}

void QtWindow::SetSelection(int id, int position) {
    auto* combo = Widget<QComboBox>(id, ControlKind::DropDownList);
    if (combo == nullptr) return;
    // Only `activated` reaches the handler, so this notifies nobody.
    combo->setCurrentIndex(position >= 0 && position < combo->count() ? position : -1);
}

void QtWindow::SetScrollRange(int id, int min, int max) {
    auto* bar = Widget<ScrollBarControl>(id, ControlKind::HScrollBar);
    if (bar == nullptr) return;
    ScrollInfo info = bar->Info();
    info.min = min;
    info.max = max;
    bar->SetInfo(info);
}

void QtWindow::SetScrollPos(int id, int pos) {
    auto* bar = Widget<ScrollBarControl>(id, ControlKind::HScrollBar);
    if (bar == nullptr) return;
    ScrollInfo info = bar->Info();
    info.pos = pos;
    bar->SetInfo(info);
}

void QtWindow::SetScrollInfo(int id, const ScrollInfo& info) {
    if (auto* bar = Widget<ScrollBarControl>(id, ControlKind::HScrollBar)) bar->SetInfo(info);
}

ScrollInfo QtWindow::GetScrollInfo(int id) const {
    auto* bar = Widget<ScrollBarControl>(id, ControlKind::HScrollBar);
    return bar ? bar->Info() : ScrollInfo{};
}

int QtWindow::InsertTab(int id, int index, const std::string& label, void* data) {
    auto* strip = Widget<TabStripControl>(id, ControlKind::TabStrip);
    return strip ? strip->Insert(index, ToQt(label), data) : -1;
}

int QtWindow::TabCount(int id) const {
    auto* strip = Widget<TabStripControl>(id, ControlKind::TabStrip);
    return strip ? strip->Bar()->count() : 0;
}

std::string QtWindow::TabLabel(int id, int index) const {
    auto* strip = Widget<TabStripControl>(id, ControlKind::TabStrip);
    return strip ? FromQt(strip->Bar()->tabText(index)) : std::string();
}

void* QtWindow::TabData(int id, int index) const {
    auto* strip = Widget<TabStripControl>(id, ControlKind::TabStrip);
    return strip ? strip->Data(index) : nullptr;
}

void QtWindow::SetTabData(int id, int index, void* data) {
    if (auto* strip = Widget<TabStripControl>(id, ControlKind::TabStrip)) strip->SetData(index, data);
}

int QtWindow::TabSelection(int id) const {
    auto* strip = Widget<TabStripControl>(id, ControlKind::TabStrip);
    return strip ? strip->Selection() : -1;
}

void QtWindow::SetTabSelection(int id, int index) {
    if (auto* strip = Widget<TabStripControl>(id, ControlKind::TabStrip)) strip->SetSelection(index);
}

// --- what the user did

// A group runs from a control with the group style to the next one.
void QtWindow::UncheckGroupOf(std::size_t index) {
    std::size_t first = index;
    while (first > 0 && (controls_[first].style & kStyleGroup) == 0) --first;
    for (std::size_t i = first; i < controls_.size(); ++i) {
        if (i > first && (controls_[i].style & kStyleGroup) != 0) break;
        if (i == index || controls_[i].kind != ControlKind::AutoRadioButton || controls_[i].widget.isNull()) continue;
        static_cast<QAbstractButton*>(controls_[i].widget.data())->setChecked(false);
    }
}

void QtWindow::UserClicked(std::size_t index) {
    if (index >= controls_.size()) return;
    const int id = controls_[index].id;
    if (controls_[index].kind == ControlKind::AutoRadioButton) UncheckGroupOf(index);
    if (handler_ != nullptr) handler_->OnCommand(id, kNotifyClicked);
    if (id == kIdOk || id == kIdCancel) RequestEnd(id);
}

void QtWindow::UserChoseEntry(int id) {
    if (handler_ != nullptr) handler_->OnCommand(id, kNotifySelChange);
}

void QtWindow::UserScrolled(int id, int code, int pos) {
    if (handler_ != nullptr) handler_->OnHScroll(id, code, pos);
}

void QtWindow::UserLeftEdit(int id) {
    if (handler_ != nullptr) handler_->OnCommand(id, kNotifyKillFocus);
}

void QtWindow::TabChanging(int id) {
    if (handler_ != nullptr) handler_->OnTabChanging(id);
}

void QtWindow::TabChanged(int id) {
    if (handler_ != nullptr) handler_->OnTabChanged(id);
}

void QtWindow::RequestEnd(int result) {
    if (kind_ != Kind::Modal || ended_) return;
    if (handler_ == nullptr || handler_->OnCloseRequest(result)) EndDialog(result);
}

void QtWindow::CloseBox() { RequestEnd(kIdCancel); }

void QtWindow::EscapeKey() {
    if (kind_ != Kind::Modal || ended_) return;
    // As a click on Cancel: the command first, then the end of the run.
    if (handler_ != nullptr) handler_->OnCommand(kIdCancel, kNotifyClicked);
    RequestEnd(kIdCancel);
}

}  // namespace ui::qt
