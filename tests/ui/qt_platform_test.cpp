// The Qt platform layer on Qt's offscreen platform, driven by real mouse and
// key events: what the handlers are told, in which order, and what the
// controls show afterwards.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyleOptionSlider>
#include <QTabBar>
#include <QTest>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

#include "ui/qt/qt_dialog_font.h"
#include "ui/qt/qt_file_filter.h"
#include "ui/qt/qt_gl_view.h"
#include "ui/qt/qt_platform.h"
#include "ui/qt/qt_widgets.h"
#include "ui/qt/qt_window.h"

namespace ui::qt {
namespace {

void EnsureApplication() {
    if (QApplication::instance() != nullptr) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "qt_platform_test";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);  // lives until the process ends
    QApplication::setFont(DialogFont());  // as the program runs, see QtPlatform
}

// Writes down every notification, with what the window reports meanwhile.
struct Recorder : WindowHandler {
    void OnCommand(int id, int code) override { Log("command " + std::to_string(id) + " " + std::to_string(code)); }
    void OnHScroll(int id, int code, int pos) override {
        Log("scroll " + std::to_string(id) + " " + std::to_string(code) + " " + std::to_string(pos));
        if (setPosition) window->SetScrollPos(id, setPosition(code, pos));
    }
    void OnTabChanging(int id) override { Log("changing " + std::to_string(window->TabSelection(id))); }
    void OnTabChanged(int id) override { Log("changed " + std::to_string(window->TabSelection(id))); }
    bool OnCloseRequest(int result) override {
        Log("close " + std::to_string(result));
        return closeRefusals-- <= 0;
    }
    void OnSize(int width, int height) override { Log("size " + std::to_string(width) + "x" + std::to_string(height)); }
    void Log(const std::string& line) { events.push_back(line); }

    std::vector<std::string> events;
    std::function<int(int code, int pos)> setPosition;  // how the handler moves the bar, if it does
    int closeRefusals = 0;  // how many requests to close it refuses first
};

constexpr int kList = 40;
constexpr int kBar = 30;
constexpr int kTabs = 60;
constexpr int kEdit = 50;

DialogTemplate TestDialog() {
    return DialogTemplate{
        9, "Qt test", 300, 200, false,
        {
            {kIdOk, ControlKind::DefaultPushButton, "OK", {10, 20, 50, 14}},
            {kIdCancel, ControlKind::PushButton, "Cancel", {70, 20, 50, 14}},
            {10, ControlKind::AutoRadioButton, "A", {10, 40, 40, 10}, kStyleGroup},
            {11, ControlKind::AutoRadioButton, "B", {60, 40, 40, 10}},
            {20, ControlKind::RadioPushButton, "None", {110, 40, 40, 11}, kStyleGroup},
            {kBar, ControlKind::HScrollBar, "", {10, 60, 200, 12}, kStyleGroup},
            {kList, ControlKind::DropDownList, "", {10, 80, 100, 80}, kStyleSorted},
            {kEdit, ControlKind::Edit, "", {120, 80, 60, 12}},
            {kTabs, ControlKind::TabStrip, "", {10, 100, 200, 90}},
        },
    };
}

class QtPlatformTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureApplication();
        window = QtWindow::CreateModal(TestDialog(), handler, nullptr);
        handler.window = window.get();
    }
    void TearDown() override {
        window->DetachHandlers();
        window.reset();
    }
    void ShowWindow() {
        window->Widget()->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window->Widget()));
    }
    template <typename W>
    W* Control(int id) {
        return static_cast<W*>(window->ControlWidget(id));
    }
    static void Mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButtons held) {
        QMouseEvent event(type, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(w, &event);
    }
    static void ClickAt(QWidget* w, QPoint at) {
        Mouse(w, QEvent::MouseButtonPress, at, Qt::LeftButton);
        Mouse(w, QEvent::MouseButtonRelease, at, Qt::NoButton);
    }
    static QRect ScrollPart(QScrollBar* bar, QStyle::SubControl part) {
        QStyleOptionSlider opt;
        opt.initFrom(bar);
        opt.subControls = QStyle::SC_All;
        opt.orientation = Qt::Horizontal;
        opt.state |= QStyle::State_Horizontal;
        opt.minimum = bar->minimum();
        opt.maximum = bar->maximum();
        opt.sliderPosition = bar->sliderPosition();
        opt.sliderValue = bar->value();
        opt.singleStep = bar->singleStep();
        opt.pageStep = bar->pageStep();
        return bar->style()->subControlRect(QStyle::CC_ScrollBar, &opt, part, bar);
    }

    Recorder handler;
    std::unique_ptr<QtWindow> window;
};

TEST_F(QtPlatformTest, GeometryComesFromDialogUnits) {
    EXPECT_EQ(window->ControlGeometry(kIdCancel), (Rect{105, 32, 75, 22}));
    EXPECT_EQ(window->Widget()->size(), QSize(450, 325));
    window->CreateControl({77, ControlKind::PushButton, ">", {301, 30, 20, 20}});  // pixels
    EXPECT_EQ(window->ControlGeometry(77), (Rect{301, 30, 20, 20}));
    EXPECT_TRUE(window->IsControlVisible(77));
    EXPECT_EQ(window->ControlWidget(77)->font(), QApplication::font());

    const std::unique_ptr<QtWindow> main = QtWindow::CreateModal(
        DialogTemplate{1002, "Vexholm - Morphwright 1.6", 592, 410, false, {}}, handler, nullptr);
    EXPECT_EQ(main->Widget()->minimumSize(), QSize(888, 666));
    EXPECT_EQ(main->Widget()->maximumSize(), QSize(888, 666));
    EXPECT_EQ(main->Caption(), "Vexholm - Morphwright 1.6");
}

TEST_F(QtPlatformTest, SortedListOrderAndSelectionNotices) {
    ShowWindow();
    for (const char* name : {"b head.mwo", " (none) ", "A head.mwo", "c head.MWO", "B2.mwo"}) {
        window->AddEntry(kList, name);
    }
    ASSERT_EQ(window->EntryCount(kList), 5);
    EXPECT_EQ(window->EntryText(kList, 0), " (none) ");
    EXPECT_EQ(window->EntryText(kList, 1), "A head.mwo");
    EXPECT_EQ(window->EntryText(kList, 2), "b head.mwo");
    EXPECT_EQ(window->EntryText(kList, 3), "B2.mwo");
    EXPECT_EQ(window->EntryText(kList, 4), "c head.MWO");
    EXPECT_EQ(window->Selection(kList), -1);  // adding selects nothing

    window->SetSelection(kList, 0);
    window->SetSelection(kList, 3);
    EXPECT_EQ(window->Selection(kList), 3);
    EXPECT_TRUE(handler.events.empty());  // selections from code notify nobody

    // The user steps to the next entry with the keyboard.
    QTest::keyClick(Control<QComboBox>(kList), Qt::Key_Down);
    EXPECT_EQ(window->Selection(kList), 4);
    EXPECT_EQ(handler.events, (std::vector<std::string>{"command 40 1"}));

    window->SetSelection(kList, 99);
    EXPECT_EQ(window->Selection(kList), -1);

    // A name in another encoding than UTF-8 comes back byte for byte, so the
    // file it names can still be opened.
    const std::string latin1 = "caf\xe9.mwo";
    const int at = window->AddEntry(kList, latin1);
    EXPECT_EQ(window->EntryText(kList, at), latin1);
    window->SetSelection(kList, at);
    EXPECT_EQ(window->Text(kList), latin1);
}

TEST_F(QtPlatformTest, ScrollCodesAtTheEndsAndTheBarStaysWhereTheHandlerPutsIt) {
    ShowWindow();
    auto* bar = Control<QScrollBar>(kBar);
    window->SetScrollRange(kBar, 0, 100);
    window->SetScrollPos(kBar, 100);

    // The right arrow at the end still reports; nothing moves the bar.
    ClickAt(bar, ScrollPart(bar, QStyle::SC_ScrollBarAddLine).center());
    EXPECT_EQ(handler.events, (std::vector<std::string>{"scroll 30 1 0", "scroll 30 8 0"}));
    EXPECT_EQ(bar->value(), 100);

    handler.events.clear();
    window->SetScrollPos(kBar, 0);
    ClickAt(bar, ScrollPart(bar, QStyle::SC_ScrollBarSubLine).center());
    ClickAt(bar, ScrollPart(bar, QStyle::SC_ScrollBarAddPage).center());
    EXPECT_EQ(handler.events,
              (std::vector<std::string>{"scroll 30 0 0", "scroll 30 8 0", "scroll 30 3 0", "scroll 30 8 0"}));
    EXPECT_EQ(bar->value(), 0);

    // A handler that sets the position moves it, clamped to the bar's range.
    handler.setPosition = [](int, int) { return 150; };
    ClickAt(bar, ScrollPart(bar, QStyle::SC_ScrollBarAddLine).center());
    EXPECT_EQ(window->GetScrollInfo(kBar).pos, 100);
    EXPECT_EQ(bar->value(), 100);

    // With a page of 2 the thumb stops one short of the maximum.
    window->SetScrollInfo(kBar, ScrollInfo{0, 255, 2, 255, 0});
    EXPECT_EQ(window->GetScrollInfo(kBar).pos, 254);
    EXPECT_EQ(bar->maximum(), 254);
}

TEST_F(QtPlatformTest, ThumbDragCarriesThePositionAndReleaseDoesNotMoveTheBar) {
    ShowWindow();
    auto* bar = Control<QScrollBar>(kBar);
    window->SetScrollRange(kBar, 0, 100);
    const QPoint grip = ScrollPart(bar, QStyle::SC_ScrollBarSlider).center();
    std::vector<int> trackSeen;
    handler.setPosition = [&](int code, int pos) {
        if (code == kScrollThumbTrack) trackSeen.push_back(window->GetScrollInfo(kBar).trackPos - pos);
        return window->GetScrollInfo(kBar).pos;  // the handler keeps the bar where it was
    };
    Mouse(bar, QEvent::MouseButtonPress, grip, Qt::LeftButton);
    Mouse(bar, QEvent::MouseMove, grip + QPoint(60, 0), Qt::LeftButton);
    Mouse(bar, QEvent::MouseMove, grip + QPoint(120, 0), Qt::LeftButton);
    Mouse(bar, QEvent::MouseButtonRelease, grip + QPoint(120, 0), Qt::NoButton);

    ASSERT_EQ(handler.events.size(), 4u);
    int first = -1, second = -1, released = -1;
    ASSERT_EQ(std::sscanf(handler.events[0].c_str(), "scroll 30 5 %d", &first), 1);
    ASSERT_EQ(std::sscanf(handler.events[1].c_str(), "scroll 30 5 %d", &second), 1);
    ASSERT_EQ(std::sscanf(handler.events[2].c_str(), "scroll 30 4 %d", &released), 1);
    EXPECT_EQ(handler.events[3], "scroll 30 8 0");
    EXPECT_GT(first, 0);
    EXPECT_GT(second, first);
    EXPECT_EQ(released, second);
    EXPECT_EQ(trackSeen, (std::vector<int>{0, 0}));  // the scroll information knows the thumb's place
    EXPECT_EQ(window->GetScrollInfo(kBar).pos, 0);
    EXPECT_EQ(bar->value(), 0);
}

TEST_F(QtPlatformTest, TabChangingThenChangedWithTheOldSelectionFirst) {
    ShowWindow();
    window->InsertTab(kTabs, 0, "Project", nullptr);
    window->InsertTab(kTabs, 1, "Main", &handler);
    window->SetTabData(kTabs, 0, window.get());
    window->SetTabSelection(kTabs, 0);
    EXPECT_TRUE(handler.events.empty());  // inserting and selecting from code notify nobody
    EXPECT_EQ(window->TabData(kTabs, 0), window.get());
    EXPECT_EQ(window->TabData(kTabs, 1), &handler);

    // A page inside the strip, placed as the main window places its pages.
    Recorder pageHandler;
    QtPlatform platform;
    Window* page = platform.CreateChildDialog(DialogTemplate{1003, "", 100, 50, true, {}}, pageHandler, *window, kTabs);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(pageHandler.window, page);
    EXPECT_FALSE(page->IsVisible());
    page->Move(1, 21);
    EXPECT_EQ(page->Geometry(), (Rect{1, 21, 150, 81}));
    EXPECT_EQ(static_cast<QtWindow*>(page)->Widget()->parentWidget(), window->ControlWidget(kTabs));

    // A font that makes the tabs taller than the layout's room pushes the
    // page down under them; back at the dialog font it is where it was put.
    QTabBar* bar = static_cast<TabStripControl*>(window->ControlWidget(kTabs))->Bar();
    EXPECT_EQ(bar->geometry().bottom(), 20);
    QFont big = QApplication::font();
    big.setPixelSize(24);
    window->ControlWidget(kTabs)->setFont(big);
    EXPECT_GT(bar->geometry().bottom(), 21);
    EXPECT_EQ(page->Geometry().y, bar->geometry().bottom() + 1);
    window->ControlWidget(kTabs)->setFont(QApplication::font());
    EXPECT_EQ(page->Geometry(), (Rect{1, 21, 150, 81}));

    ClickAt(bar, bar->tabRect(1).center());
    EXPECT_EQ(handler.events, (std::vector<std::string>{"changing 0", "changed 1"}));
    EXPECT_EQ(window->TabSelection(kTabs), 1);
    window->DetachHandlers();
    EXPECT_EQ(pageHandler.window, nullptr);
}

TEST_F(QtPlatformTest, ButtonsRadiosAndTheLostFocus) {
    ShowWindow();
    window->SetCheck(10, true);
    Control<QAbstractButton>(11)->click();
    EXPECT_FALSE(window->IsChecked(10));
    EXPECT_TRUE(window->IsChecked(11));
    Control<QAbstractButton>(11)->click();
    EXPECT_TRUE(window->IsChecked(11));  // clicking a checked radio keeps it
    Control<QAbstractButton>(20)->click();
    EXPECT_FALSE(window->IsChecked(20));  // its check is the handler's
    window->SetCheck(20, true);
    Control<QAbstractButton>(20)->click();
    EXPECT_TRUE(window->IsChecked(20));
    EXPECT_EQ(handler.events,
              (std::vector<std::string>{"command 11 0", "command 11 0", "command 20 0", "command 20 0"}));

    handler.events.clear();
    window->SetText(kEdit, std::string(300, 'x'));
    EXPECT_EQ(window->Text(kEdit).size(), 255u);
    window->Widget()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window->Widget()));
    Control<QLineEdit>(kEdit)->setFocus();
    Control<QWidget>(kIdCancel)->setFocus();
    EXPECT_EQ(handler.events, (std::vector<std::string>{"command 50 512"}));

    // Return in a field takes the text, and the default button does not end the run.
    handler.events.clear();
    Control<QLineEdit>(kEdit)->setFocus();
    QTest::keyClick(Control<QLineEdit>(kEdit), Qt::Key_Return);
    EXPECT_EQ(handler.events, (std::vector<std::string>{"command 50 512"}));
    EXPECT_FALSE(window->Ended());
}

// Texts wider than their rectangles, as Qt's fonts make them: each grows
// into the free room of its row, never over a neighbour or out of its box.
TEST_F(QtPlatformTest, LabelsGrowToTheirTextWhereTheRowHasRoom) {
    const DialogTemplate dialog{
        5, "labels", 210, 120, false,
        {
            {41, ControlKind::Static, "Adjust", {12, 10, 19, 10}},
            {31, ControlKind::HScrollBar, "", {35, 9, 162, 12}},
            {kIdStatic, ControlKind::GroupBox, "Box", {7, 30, 40, 30}},
            {42, ControlKind::Static, "Slider Step and a lot more", {12, 42, 10, 9}},
            {13, ControlKind::AutoCheckBox, "Store surfaces Names as <Type> <Name>", {7, 80, 20, 9}},
            {12, ControlKind::AutoRadioButton, "Wireframe", {84, 80, 20, 9}, kStyleGroup},
        },
    };
    const std::unique_ptr<QtWindow> w = QtWindow::CreateModal(dialog, handler, nullptr);
    const QFontMetrics metrics(QApplication::font());
    const QRect adjust = w->ControlWidget(41)->geometry();
    EXPECT_GE(adjust.width(), metrics.horizontalAdvance("Adjust"));
    EXPECT_LT(adjust.right(), w->ControlWidget(31)->x());
    const QRect inBox = w->ControlWidget(42)->geometry();
    EXPECT_GT(inBox.width(), 15);
    EXPECT_LT(inBox.right(), w->ControlWidget(kIdStatic)->geometry().right());
    EXPECT_GE(w->ControlWidget(12)->width(), w->ControlWidget(12)->sizeHint().width());
    EXPECT_GT(w->ControlWidget(13)->width(), 30);
    EXPECT_LT(w->ControlWidget(13)->geometry().right(), w->ControlWidget(12)->x());
    w->SetText(41, "A");
    EXPECT_EQ(w->ControlWidget(41)->geometry(), QRect(18, 16, 28, 16));

    // Made from code, right-aligned: the right edge stays; a control made
    // later on its left takes back the room.
    w->CreateControl({43, ControlKind::Static, "Right forearm", {60, 150, 20, 16}, kStyleRightAlign});
    EXPECT_EQ(w->ControlWidget(43)->geometry().right(), 79);
    EXPECT_GE(w->ControlWidget(43)->width(), metrics.horizontalAdvance("Right forearm"));
    w->CreateControl({44, ControlKind::PushButton, "<", {20, 148, 30, 20}});
    EXPECT_EQ(w->ControlWidget(43)->geometry(), QRect(52, 150, 28, 16));
    w->DetachHandlers();
}

// Runs the test dialog modally; `act` runs once the run has started.
int RunWith(Recorder& handler, std::function<void(QtWindow&)> act) {
    struct Starter : Recorder {
        bool OnInitDialog() override {
            QTimer::singleShot(0, [this] { act(*static_cast<QtWindow*>(window)); });
            return true;
        }
        std::function<void(QtWindow&)> act;
    } starter;
    starter.act = std::move(act);
    starter.closeRefusals = handler.closeRefusals;
    QtPlatform platform;
    const int result = platform.RunModal(TestDialog(), starter, nullptr);
    EXPECT_EQ(starter.window, nullptr);
    handler.events = starter.events;
    return result;
}

TEST(QtModalRun, EndsOnOkCancelEscapeAndTheCloseBox) {
    EnsureApplication();
    Recorder r;
    EXPECT_EQ(RunWith(r, [](QtWindow& w) { static_cast<QPushButton*>(w.ControlWidget(kIdOk))->click(); }), kIdOk);
    EXPECT_EQ(r.events, (std::vector<std::string>{"command 1 0", "close 1"}));
    EXPECT_EQ(RunWith(r, [](QtWindow& w) { static_cast<QPushButton*>(w.ControlWidget(kIdCancel))->click(); }),
              kIdCancel);
    EXPECT_EQ(r.events, (std::vector<std::string>{"command 2 0", "close 2"}));
    EXPECT_EQ(RunWith(r, [](QtWindow& w) { QTest::keyClick(w.Widget(), Qt::Key_Escape); }), kIdCancel);
    EXPECT_EQ(r.events, (std::vector<std::string>{"command 2 0", "close 2"}));
    EXPECT_EQ(RunWith(r, [](QtWindow& w) { w.Widget()->close(); }), kIdCancel);
    EXPECT_EQ(r.events, (std::vector<std::string>{"close 2"}));  // the close box sends no command
}

// A handler that refuses the first request keeps the window running; the
// same action again ends it.
TEST(QtModalRun, AHandlerMayKeepTheRunGoing) {
    EnsureApplication();
    const struct {
        std::function<void(QtWindow&)> act;
        int result;
        std::vector<std::string> events;
    } cases[] = {
        {[](QtWindow& w) { static_cast<QPushButton*>(w.ControlWidget(kIdOk))->click(); }, kIdOk,
         {"command 1 0", "close 1", "command 1 0", "close 1"}},
        {[](QtWindow& w) { QTest::keyClick(w.Widget(), Qt::Key_Escape); }, kIdCancel,
         {"command 2 0", "close 2", "command 2 0", "close 2"}},
        {[](QtWindow& w) { w.Widget()->close(); }, kIdCancel, {"close 2", "close 2"}},
    };
    for (const auto& c : cases) {
        Recorder r;
        r.closeRefusals = 1;
        EXPECT_EQ(RunWith(r,
                          [&](QtWindow& w) {
                              c.act(w);
                              EXPECT_FALSE(w.Ended());
                              EXPECT_TRUE(w.Widget()->isVisible());
                              c.act(w);
                          }),
                  c.result);
        EXPECT_EQ(r.events, c.events);
    }
}

// The question's buttons in our order and words: Return presses the first,
// Escape the last.
TEST(QtQuestion, AnswersWithTheButtonPressed) {
    EnsureApplication();
    const struct {
        std::function<void(QMessageBox&)> act;
        int answer;
    } cases[] = {
        {[](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); }, 0},
        {[](QMessageBox& box) { box.buttons()[1]->click(); }, 1},
        {[](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); }, 2},
    };
    for (const auto& c : cases) {
        std::vector<std::string> labels;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            for (QAbstractButton* b : box->buttons()) labels.push_back(b->text().toStdString());
            c.act(*box);
        });
        QtPlatform platform;
        EXPECT_EQ(platform.Ask("Save?", "Unsaved", {"Save", "Discard", "Cancel"}, nullptr), c.answer);
        EXPECT_EQ(labels, (std::vector<std::string>{"Save", "Discard", "Cancel"}));
    }
}

// A resizable window reports every size, never below its first one nor
// beyond the screen; the mark of unsaved changes leaves the caption alone.
TEST(QtWindowSize, FollowsTheUserWithinItsBoundsAndMovesControls) {
    EnsureApplication();
    Recorder r;
    std::unique_ptr<QtWindow> w = QtWindow::CreateModal(TestDialog(), r, nullptr);
    r.window = w.get();
    w->Widget()->show();
    EXPECT_TRUE(r.events.empty());  // a window of fixed size has no sizes to tell
    w->AllowResize();
    const QSize first = w->Widget()->size();
    const QSize screen = w->Widget()->screen()->availableGeometry().size();
    w->Resize(first.width() + 40, first.height() + 30);
    w->Resize(10, 10);
    w->Resize(100000, 100000);
    EXPECT_EQ(r.events, (std::vector<std::string>{
                            "size " + std::to_string(first.width() + 40) + "x" + std::to_string(first.height() + 30),
                            "size " + std::to_string(first.width()) + "x" + std::to_string(first.height()),
                            "size " + std::to_string(screen.width()) + "x" + std::to_string(screen.height())}));
    w->MoveControl(kIdOk, 7, 9);
    EXPECT_EQ(w->ControlWidget(kIdOk)->pos(), QPoint(7, 9));
    w->SetModified(true);
    EXPECT_TRUE(w->Widget()->isWindowModified());
    EXPECT_EQ(w->Caption(), "Qt test");
    w->SetModified(false);
    EXPECT_FALSE(w->IsModified());
    w->DetachHandlers();
}

struct ViewRecorder : GlViewHandler {
    bool OnCreate() override { return created; }
    bool OnGlInit(GlStatus) override { return true; }
    void OnSize(int, int) override {}
    void OnPaint() override {}
    void OnMouseButton(MouseButton button, bool down, int x, int y) override {
        log.push_back(std::string(button == MouseButton::Left ? "left " : "right ") + (down ? "down " : "up ") +
                      std::to_string(x) + "," + std::to_string(y));
    }
    void OnMouseMove(int x, int y) override { log.push_back("move " + std::to_string(x) + "," + std::to_string(y)); }
    bool created = true;
    std::vector<std::string> log;
};

// The view is never shown here: offscreen cannot show a GL widget, and the
// mouse rules need no context.
TEST(QtGlView, MouseOutsideTheViewIsNotItsBusinessAndAFailedCreationLeavesNothing) {
    EnsureApplication();
    ViewRecorder handler;
    GlViewWidget view(nullptr, handler);
    view.resize(100, 80);
    auto send = [&](QEvent::Type type, Qt::MouseButton button, QPoint at) {
        QMouseEvent event(type, QPointF(at), QPointF(at), button, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&view, &event);
    };
    send(QEvent::MouseButtonPress, Qt::LeftButton, {10, 20});
    send(QEvent::MouseMove, Qt::NoButton, {150, 20});            // dragged out: Qt still sends it
    send(QEvent::MouseButtonRelease, Qt::LeftButton, {150, 20});  // released outside
    send(QEvent::MouseMove, Qt::NoButton, {30, 40});              // back, no button held
    send(QEvent::MouseButtonPress, Qt::RightButton, {99, 79});
    send(QEvent::MouseButtonRelease, Qt::MiddleButton, {5, 5});
    EXPECT_EQ(handler.log, (std::vector<std::string>{"left down 10,20", "move 30,40", "right down 99,79"}));

    QtPlatform platform;
    Recorder hostHandler;
    const std::unique_ptr<QtWindow> host =
        QtWindow::CreateModal(DialogTemplate{1, "host", 100, 100, false, {}}, hostHandler, nullptr);
    ViewRecorder refusing;
    refusing.created = false;
    EXPECT_EQ(platform.CreateGlView(DialogTemplate{103, "", 60, 40, true, {}}, refusing, *host), nullptr);
    EXPECT_EQ(refusing.window, nullptr);
    EXPECT_TRUE(host->Widget()->findChildren<QOpenGLWidget*>().isEmpty());
    ViewRecorder accepting;
    Window* made = platform.CreateGlView(DialogTemplate{103, "", 60, 40, true, {}}, accepting, *host);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->Geometry(), (Rect{0, 0, 90, 65}));
    EXPECT_FALSE(made->IsVisible());
    host->DetachHandlers();
    EXPECT_EQ(accepting.window, nullptr);
}

TEST(QtFileFilter, PairsBecomeNameFilters) {
    EnsureApplication();
    EXPECT_EQ(NameFilters("3D Studio Mesh (*.3ds)|*.3ds|DXF (*.dxf)|*.dxf|"),
              (QStringList{"3D Studio Mesh (*.3ds)", "DXF (*.dxf)"}));
    EXPECT_EQ(NameFilters("Pictures|*.png;*.jpg|Anything||"), (QStringList{"Pictures (*.png *.jpg)", "Anything (*)"}));
    EXPECT_TRUE(NameFilters("").isEmpty());
    // The extension a name typed without one gets under each filter.
    EXPECT_EQ(SuffixOfFilter("DXF (*.dxf)", "3ds"), "dxf");
    EXPECT_EQ(SuffixOfFilter("Pictures (*.png *.jpg)", "x"), "png");
    EXPECT_EQ(SuffixOfFilter("Anything (*)", "3ds"), "3ds");
    EXPECT_EQ(SuffixOfFilter("Parts (*.m?o)", "3ds"), "3ds");
    EXPECT_EQ(SuffixOfFilter("no pattern", "mwp"), "mwp");
}

}  // namespace
}  // namespace ui::qt
