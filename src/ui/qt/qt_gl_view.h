// GlViewWidget: the OpenGL view window. It hands the context's set-up, the
// size, the paint and the mouse to a GlViewHandler; QOpenGLWidget swaps
// (composes) after every paint.
#pragma once

#include <QOpenGLWidget>

#include "ui/window.h"

namespace ui::qt {

class GlViewWidget : public QOpenGLWidget {
public:
    GlViewWidget(QWidget* parent, GlViewHandler& handler);

    // Nothing reaches the handler any more (the window is going away).
    void Detach() { handler_ = nullptr; }

protected:
    void initializeGL() override;
    void resizeGL(int width, int height) override;
    void paintGL() override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void ReportGlInit(GlStatus status);
    // Qt gives up on a context it cannot create without calling
    // initializeGL; the handler hears of it all the same.
    void ReportMissingContext();
    void MouseButtonEvent(QMouseEvent* event, bool down);

    GlViewHandler* handler_;
    bool initReported_ = false;
    bool drawing_ = false;  // the handler accepted the context
    int wheelRest_ = 0;     // eighths of a degree not yet a whole notch (fine wheels, touchpads)
};

}  // namespace ui::qt
