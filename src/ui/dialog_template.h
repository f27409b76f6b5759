// Dialog templates: a window's size and its table of controls, in dialog
// units, as the windows of the program are laid out. The platform layer
// builds real windows from them; dialog units become pixels in one place.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ui {

// Control ids that have a meaning of their own.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdStatic = 0xffff;  // a control nobody addresses (labels, group boxes)

enum class ControlKind {
    PushButton,
    DefaultPushButton,
    AutoRadioButton,
    RadioPushButton,  // a radio button drawn as a push button, not automatic
    AutoCheckBox,
    GroupBox,
    Static,
    DropDownList,  // not editable
    Edit,
    HScrollBar,
    TabStrip,
};

// Style bits of a control; kinds ignore the bits that do not concern them.
enum ControlStyle : std::uint32_t {
    kStyleNone = 0,
    kStyleGroup = 1u << 0,       // starts a group of radio buttons
    kStyleSorted = 1u << 1,      // drop-down list keeps its entries sorted, ignoring case
    kStyleReadOnly = 1u << 2,    // edit field
    kStyleRightAlign = 1u << 3,  // static text
    kStyleHidden = 1u << 4,      // created invisible
    kStyleDisabled = 1u << 5,
};

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Rect&) const = default;
};

struct ControlTemplate {
    int id = kIdStatic;
    ControlKind kind = ControlKind::Static;
    std::string text;
    Rect rect;  // dialog units
    std::uint32_t style = kStyleNone;
};

struct DialogTemplate {
    int id = 0;
    std::string caption;  // empty for child pages
    int width = 0;        // dialog units
    int height = 0;
    bool child = true;  // false: a popup with caption, system menu and minimise box
    std::vector<ControlTemplate> controls;
};

// Dialog units to pixels for the program's 8-point dialog font:
// x × 3/2, y × 13/8 (integer results, rounded down).
int DialogUnitsToPixelsX(int x);
int DialogUnitsToPixelsY(int y);
Rect DialogUnitsToPixels(const Rect& r);

}  // namespace ui
