#include "ui/dialog_template.h"

namespace ui {

int DialogUnitsToPixelsX(int x) { return x * 3 / 2; }

int DialogUnitsToPixelsY(int y) { return y * 13 / 8; }

Rect DialogUnitsToPixels(const Rect& r) {
    return Rect{DialogUnitsToPixelsX(r.x), DialogUnitsToPixelsY(r.y), DialogUnitsToPixelsX(r.width),
                DialogUnitsToPixelsY(r.height)};
}

}  // namespace ui
