#include "ui/qt/qt_widgets.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QResizeEvent>
#include <QSignalBlocker>
#include <QStyleOption>
#include <QWheelEvent>

#include <algorithm>

#include "ui/qt/qt_window.h"

namespace ui::qt {

namespace {

// The main window's layout puts its pages 21 pixels below the top of the
// tab strip: room for tabs 21 pixels tall, the frame's top line sharing
// their last row.
constexpr int kTabHeight = 21;
constexpr int kTabTextMargin = 2;  // at least, above and below a tab's text

}  // namespace

int CompactStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const {
    if (metric == PM_RadioButtonLabelSpacing || metric == PM_CheckBoxLabelSpacing) return 3;
    if (metric == PM_TabBarTabVSpace && (option != nullptr || widget != nullptr)) {
        // Tabs as tall as the layouts leave them, where the font lets them.
        const int textHeight = option != nullptr ? option->fontMetrics.height() : widget->fontMetrics().height();
        return std::max(kTabTextMargin * 2, kTabHeight - textHeight);
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
}

CompactStyle* CompactStyle::Instance() {
    static QPointer<CompactStyle> style;
    if (style.isNull()) {
        style = new CompactStyle;
        style->setParent(QCoreApplication::instance());  // goes with the application
    }
    return style.data();
}

void EditControl::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // The edit's own context menu takes the focus only for a moment.
    if (event->reason() == Qt::PopupFocusReason) return;
    if (owner != nullptr) owner->UserLeftEdit(id_);
}

void EditControl::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    if (!isReadOnly() && owner != nullptr) owner->UserLeftEdit(id_);
}

// --- scroll bar

ScrollBarControl::ScrollBarControl(QWidget* parent, QtWindow* owner, int id)
    : QScrollBar(Qt::Horizontal, parent), owner(owner), id_(id) {
    // The value follows the handler, not the thumb being dragged.
    setTracking(false);
    setSingleStep(1);
    // Its "Scroll here" would set the value behind the handler's back.
    setContextMenuPolicy(Qt::NoContextMenu);
    ShowPosition();
    connect(this, &QAbstractSlider::actionTriggered, this, [this](int action) { OnAction(action); });
    connect(this, &QAbstractSlider::sliderPressed, this, [this] { dragPos_ = sliderPosition(); });
    connect(this, &QAbstractSlider::sliderMoved, this, [this](int position) { OnSliderMoved(position); });
    connect(this, &QAbstractSlider::sliderReleased, this, [this] { OnSliderReleased(); });
}

void ScrollBarControl::SetInfo(const ScrollInfo& info) {
    const int trackPos = info_.trackPos;
    info_ = info;
    info_.trackPos = trackPos;
    if (info_.max < info_.min) info_.max = info_.min;
    const long long span = static_cast<long long>(info_.max) - info_.min + 1;
    info_.page = static_cast<int>(std::clamp<long long>(info_.page, 0, span));
    // The thumb's positions: min … max − page + 1, the page being the thumb.
    const int highest = info_.max - std::max(info_.page - 1, 0);
    info_.pos = std::clamp(info_.pos, info_.min, highest);
    ShowPosition();
}

void ScrollBarControl::ShowPosition() {
    syncing_ = true;
    setRange(info_.min, info_.max - std::max(info_.page - 1, 0));
    setPageStep(info_.page);
    setValue(info_.pos);
    // A thumb being dragged stays under the mouse whatever the position.
    if (isSliderDown()) setSliderPosition(dragPos_);
    syncing_ = false;
}

void ScrollBarControl::Notify(int code, int pos) {
    if (owner != nullptr) owner->UserScrolled(id_, code, pos);
}

void ScrollBarControl::OnAction(int action) {
    int code;
    switch (action) {
        case SliderSingleStepSub:
            code = kScrollLineLeft;
            break;
        case SliderSingleStepAdd:
            code = kScrollLineRight;
            break;
        case SliderPageStepSub:
            code = kScrollPageLeft;
            break;
        case SliderPageStepAdd:
            code = kScrollPageRight;
            break;
        case SliderToMinimum:
            code = kScrollLeft;
            break;
        case SliderToMaximum:
            code = kScrollRight;
            break;
        default:
            // Drags arrive through sliderMoved; any other move is undone.
            if (!isSliderDown()) setSliderPosition(info_.pos);
            return;
    }
    // The slider has already stepped; put it back, the handler decides.
    setSliderPosition(info_.pos);
    Notify(code, 0);
    Notify(kScrollEnd, 0);
}

void ScrollBarControl::OnSliderMoved(int position) {
    if (syncing_) return;
    dragPos_ = position;
    info_.trackPos = position;
    Notify(kScrollThumbTrack, position);
}

void ScrollBarControl::OnSliderReleased() {
    const int position = dragPos_;
    info_.trackPos = position;
    // Qt would now make the dragged position the value; keep the handler's.
    setSliderPosition(info_.pos);
    Notify(kScrollThumbPosition, position);
    Notify(kScrollEnd, 0);
}

void ScrollBarControl::wheelEvent(QWheelEvent* event) {
    // A scroll bar control does not scroll on the wheel.
    event->ignore();
}

// --- tab strip

TabStripControl::TabStripControl(QWidget* parent, QtWindow* owner, int id)
    : QWidget(parent), owner(owner), id_(id), bar_(new QTabBar(this)), frame_(new QFrame(this)) {
    bar_->setStyle(CompactStyle::Instance());
    bar_->setExpanding(false);
    bar_->setDrawBase(false);
    frame_->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    frame_->lower();
    connect(bar_, &QTabBar::currentChanged, this, [this](int index) { OnCurrentChanged(index); });
    Layout();
}

void TabStripControl::Layout() {
    const int barHeight = std::min(bar_->sizeHint().height(), height());
    bar_->setGeometry(0, 0, width(), barHeight);
    // The frame starts under the tabs' lower edge, pages sit inside it.
    const int frameTop = std::max(barHeight - 1, 0);
    frame_->setGeometry(0, frameTop, width(), std::max(height() - frameTop, 0));
    for (const PlacedPage& p : pages_) {
        if (!p.page.isNull()) p.page->move(p.at.x(), std::max(p.at.y(), barHeight));
    }
}

void TabStripControl::PlacePage(QWidget* page, QPoint at) {
    std::erase_if(pages_, [page](const PlacedPage& p) { return p.page.isNull() || p.page == page; });
    pages_.push_back(PlacedPage{page, at});
    Layout();
}

void TabStripControl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Layout();
}

void TabStripControl::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) Layout();
}

int TabStripControl::Insert(int index, const QString& label, void* data) {
    index = std::clamp(index, 0, static_cast<int>(data_.size()));
    data_.insert(data_.begin() + index, data);
    {
        const QSignalBlocker quiet(bar_);
        index = bar_->insertTab(index, label);
    }
    previous_ = bar_->currentIndex();
    Layout();
    return index;
}

void* TabStripControl::Data(int index) const {
    if (index < 0 || index >= static_cast<int>(data_.size())) return nullptr;
    return data_[static_cast<std::size_t>(index)];
}

void TabStripControl::SetData(int index, void* data) {
    if (index < 0 || index >= static_cast<int>(data_.size())) return;
    data_[static_cast<std::size_t>(index)] = data;
}

int TabStripControl::Selection() const { return reportingOld_ ? reported_ : bar_->currentIndex(); }

void TabStripControl::SetSelection(int index) {
    if (index < 0 || index >= bar_->count()) return;
    const QSignalBlocker quiet(bar_);
    bar_->setCurrentIndex(index);
    previous_ = index;
}

void TabStripControl::OnCurrentChanged(int index) {
    const int old = previous_;
    previous_ = index;
    if (owner == nullptr) return;
    reportingOld_ = true;
    reported_ = old;
    owner->TabChanging(id_);
    reportingOld_ = false;
    if (owner != nullptr) owner->TabChanged(id_);
}

}  // namespace ui::qt
