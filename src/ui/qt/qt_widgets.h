// The Qt widgets behind the template's control kinds, where a plain Qt
// widget behaves differently from what the handlers expect: radio buttons
// whose check only the program sets, edits that report the lost focus, a
// scroll bar that never moves by itself, a tab strip with "about to change".
// Each reports to its QtWindow through `owner`, cleared before teardown.
#pragma once

#include <QFrame>
#include <QLineEdit>
#include <QPointer>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabBar>
#include <QWidget>

#include <vector>

#include "ui/window.h"

namespace ui::qt {

class QtWindow;

// The sizes the template layouts were made for: radio buttons and check
// boxes with a narrow gap between the mark and the label, and tabs no
// taller than the room the layouts leave them above the pages, as long as
// the text fits.
class CompactStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override;
    // One instance for the application's life.
    static CompactStyle* Instance();
};

// An automatic radio button: a click checks it (never unchecks it); the
// window unchecks the rest of its group.
class AutoRadioButton : public QRadioButton {
public:
    using QRadioButton::QRadioButton;

protected:
    void nextCheckState() override { setChecked(true); }
};

// A radio button drawn as a push button: its check is the handler's alone.
class RadioPushButton : public QPushButton {
public:
    explicit RadioPushButton(QWidget* parent) : QPushButton(parent) { setCheckable(true); }

protected:
    void nextCheckState() override {}
};

class EditControl : public QLineEdit {
public:
    EditControl(QWidget* parent, QtWindow* owner, int id) : QLineEdit(parent), owner(owner), id_(id) {}
    QtWindow* owner;

protected:
    void focusOutEvent(QFocusEvent* event) override;
    // Return in a field takes its text as leaving it would, and goes no
    // further: the window's default button would end the whole run.
    void keyPressEvent(QKeyEvent* event) override;

private:
    int id_;
};

// A horizontal bar holding the scroll state the handlers set. A user's
// action becomes a scroll code for the handler; the bar's position changes
// only when the handler sets it, also while the thumb is dragged.
class ScrollBarControl : public QScrollBar {
public:
    ScrollBarControl(QWidget* parent, QtWindow* owner, int id);
    QtWindow* owner;

    void SetInfo(const ScrollInfo& info);  // min, max, page, pos; clamped
    const ScrollInfo& Info() const { return info_; }

protected:
    void wheelEvent(QWheelEvent* event) override;

private:
    void OnAction(int action);
    void OnSliderMoved(int position);
    void OnSliderReleased();
    void Notify(int code, int pos);
    void ShowPosition();

    int id_;
    ScrollInfo info_;
    int dragPos_ = 0;       // where the dragged thumb is
    bool syncing_ = false;  // the program is setting the bar, not the user
};

// A tab strip: a tab bar along the top and a frame below. Pages are
// children of this widget, placed by their owner, but never higher than the
// bar's lower edge, whatever height the style and font give the bar. The bar
// has no "about to change", so a user's change is reported in two steps,
// the first while the old tab is still reported as selected.
class TabStripControl : public QWidget {
public:
    TabStripControl(QWidget* parent, QtWindow* owner, int id);
    QtWindow* owner;

    QTabBar* Bar() const { return bar_; }
    int Insert(int index, const QString& label, void* data);
    void* Data(int index) const;
    void SetData(int index, void* data);
    int Selection() const;
    void SetSelection(int index);
    // Puts `page`, a child of this strip, at `at`, or as near under the
    // bar as the bar lets it; again whenever the bar's height changes.
    void PlacePage(QWidget* page, QPoint at);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;  // a new font or style resizes the bar

private:
    struct PlacedPage {
        QPointer<QWidget> page;
        QPoint at;  // where its owner wants it
    };

    void OnCurrentChanged(int index);
    void Layout();

    int id_;
    QTabBar* bar_;
    QFrame* frame_;
    std::vector<void*> data_;
    std::vector<PlacedPage> pages_;
    int previous_ = -1;
    int reported_ = -1;
    bool reportingOld_ = false;
};

}  // namespace ui::qt
