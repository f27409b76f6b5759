// Room for the text of labels, radio buttons and check boxes: Qt's fonts
// and marks can make a text wider than the rectangle the layout gives it,
// and a label cut short reads wrong. Such a control grows into the free
// room beside it, never over a neighbour.
#pragma once

#include <QRect>

#include <vector>

namespace ui::qt {

enum class Growth {
    Rightward,  // left-aligned text, or a mark with its text on the right
    Leftward,   // right-aligned text: the right edge stays
};

// The rectangle for a control at `base` whose text needs `needed` pixels:
// `base` when that is wide enough, else wider, up to a neighbour in its
// row (`others`, in the same window), the inside of a box around it, or
// the window's edge (0 … `windowWidth`). Never narrower than `base`.
QRect FitToText(const QRect& base, int needed, Growth growth, const std::vector<QRect>& others, int windowWidth);

}  // namespace ui::qt
