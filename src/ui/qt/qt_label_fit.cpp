#include "ui/qt/qt_label_fit.h"

#include <algorithm>

namespace ui::qt {

namespace {

constexpr int kGap = 2;    // kept free before a neighbour
constexpr int kInset = 2;  // kept free inside a box's frame

}  // namespace

QRect FitToText(const QRect& base, int needed, Growth growth, const std::vector<QRect>& others, int windowWidth) {
    if (needed <= base.width()) return base;
    const bool rightward = growth == Growth::Rightward;
    // The farthest column the control may cover, exclusive on the right,
    // inclusive on the left.
    int edge = rightward ? windowWidth : 0;
    for (const QRect& o : others) {
        if (o.isEmpty() || o.bottom() < base.top() || o.top() > base.bottom()) continue;  // another row
        const bool box = o.left() <= base.left() && o.right() >= base.right();
        if (rightward) {
            if (o.left() > base.left()) {
                edge = std::min(edge, o.left() - kGap);
            } else if (box) {
                edge = std::min(edge, o.right() + 1 - kInset);
            }
        } else {
            if (o.right() < base.right()) {
                edge = std::max(edge, o.right() + 1 + kGap);
            } else if (box) {
                edge = std::max(edge, o.left() + kInset);
            }
        }
    }
    QRect fitted = base;
    if (rightward) {
        fitted.setWidth(std::max(base.width(), std::min(needed, edge - base.left())));
    } else {
        const int width = std::max(base.width(), std::min(needed, base.right() + 1 - edge));
        fitted.setLeft(base.right() + 1 - width);
    }
    return fitted;
}

}  // namespace ui::qt
