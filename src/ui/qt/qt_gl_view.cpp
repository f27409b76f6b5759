#include "ui/qt/qt_gl_view.h"

#include <QMouseEvent>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QTimer>
#include <QWheelEvent>

#include <cmath>

namespace ui::qt {

GlViewWidget::GlViewWidget(QWidget* parent, GlViewHandler& handler) : QOpenGLWidget(parent), handler_(&handler) {
    // Moves without a button held reach the view too.
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
}

void GlViewWidget::initializeGL() {
    const bool again = initReported_;
    initReported_ = true;
    const QOpenGLContext* c = context();
    ReportGlInit(c != nullptr && c->isValid() ? GlStatus::Ok : GlStatus::ContextFailed);
    // A context made anew (the widget moved to another window) starts with
    // fresh matrices, and Qt sends no resize with it: give the size again.
    if (again) resizeGL(width(), height());
}

void GlViewWidget::ReportGlInit(GlStatus status) {
    if (handler_ == nullptr) return;
    drawing_ = handler_->OnGlInit(status) && status == GlStatus::Ok;
}

void GlViewWidget::ReportMissingContext() {
    if (initReported_ || size().isEmpty()) return;
    initReported_ = true;
    // Not from inside a paint or resize: the handler opens a message box.
    QTimer::singleShot(0, this, [this] { ReportGlInit(GlStatus::ContextFailed); });
}

void GlViewWidget::resizeGL(int width, int height) {
    if (handler_ == nullptr || !drawing_) return;
    const qreal ratio = devicePixelRatioF();
    handler_->OnSize(static_cast<int>(std::lround(width * ratio)), static_cast<int>(std::lround(height * ratio)));
}

void GlViewWidget::paintGL() {
    if (handler_ != nullptr && drawing_) {
        handler_->OnPaint();
        return;
    }
    // Without a handler that draws, show black rather than whatever the
    // framebuffer held.
    QOpenGLFunctions* gl = context()->functions();
    gl->glClearColor(0, 0, 0, 1);
    gl->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void GlViewWidget::paintEvent(QPaintEvent* event) {
    QOpenGLWidget::paintEvent(event);
    ReportMissingContext();
}

void GlViewWidget::resizeEvent(QResizeEvent* event) {
    QOpenGLWidget::resizeEvent(event);
    ReportMissingContext();
}

void GlViewWidget::MouseButtonEvent(QMouseEvent* event, bool down) {
    MouseButton button;
    if (event->button() == Qt::LeftButton) {
        button = MouseButton::Left;
    } else if (event->button() == Qt::RightButton) {
        button = MouseButton::Right;
    } else {
        return;
    }
    const QPoint p = event->position().toPoint();
    // Qt grabs the mouse on a press; the view does not: what happens
    // outside it is not its business.
    if (!rect().contains(p) || handler_ == nullptr) return;
    if (isValid()) makeCurrent();
    handler_->OnMouseButton(button, down, p.x(), p.y());
}

void GlViewWidget::mousePressEvent(QMouseEvent* event) { MouseButtonEvent(event, true); }

void GlViewWidget::mouseReleaseEvent(QMouseEvent* event) { MouseButtonEvent(event, false); }

void GlViewWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (!rect().contains(p) || handler_ == nullptr) return;
    if (isValid()) makeCurrent();
    handler_->OnMouseMove(p.x(), p.y());
}

}  // namespace ui::qt

namespace ui::qt {

void GlViewWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click is the double click itself.
    const QPoint p = event->position().toPoint();
    if (event->button() != Qt::LeftButton || !rect().contains(p) || handler_ == nullptr) return;
    if (isValid()) makeCurrent();
    handler_->OnDoubleClick(p.x(), p.y());
}

void GlViewWidget::wheelEvent(QWheelEvent* event) {
    constexpr int kNotch = 120;  // eighths of a degree
    wheelRest_ += event->angleDelta().y();
    const int notches = wheelRest_ / kNotch;
    wheelRest_ -= notches * kNotch;
    event->accept();
    const QPoint p = event->position().toPoint();
    if (notches == 0 || handler_ == nullptr) return;
    if (isValid()) makeCurrent();
    handler_->OnMouseWheel(notches, p.x(), p.y());
}

}  // namespace ui::qt
