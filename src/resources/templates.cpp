#include "resources/templates.h"

namespace resources {

using ui::ControlKind;
using ui::ControlTemplate;
using ui::DialogTemplate;
using ui::kIdStatic;

const DialogTemplate& MainWindowTemplate() {
    static const DialogTemplate t{
        kMainWindowTemplate,
        kMainWindowCaption,
        592,
        410,
        false,
        {
            {ui::kIdOk, ControlKind::DefaultPushButton, "OK", {3, 392, 50, 14}},
            {ui::kIdCancel, ControlKind::PushButton, "Cancel", {535, 392, 50, 14}},
            {kIdTabStrip, ControlKind::TabStrip, "", {0, 0, 220, 355}},
            {kIdZoomBar, ControlKind::HScrollBar, "", {7, 371, 133, 12}},
            {kIdSmooth, ControlKind::AutoRadioButton, "Smooth", {7, 358, 41, 9}, ui::kStyleGroup},
            {kIdFlat, ControlKind::AutoRadioButton, "Flat", {49, 358, 31, 9}},
            {kIdWireframe, ControlKind::AutoRadioButton, "Wireframe", {84, 358, 45, 9}},
            {kIdClearCreature, ControlKind::PushButton, "Clear Creature", {154, 371, 66, 13},
             ui::kStyleGroup},
            {kIdRandomCreature, ControlKind::PushButton, "Random Creature", {154, 358, 66, 13}},
            {kIdUndo, ControlKind::PushButton, "Undo", {226, 371, 40, 13}},
            {kIdRedo, ControlKind::PushButton, "Redo", {270, 371, 40, 13}},
        },
    };
    return t;
}

const DialogTemplate& ViewTemplate() {
    static const DialogTemplate t{kViewTemplate, "", 365, 343, true, {}};
    return t;
}

const DialogTemplate& PartSelectionTemplate() {
    // The rows are built from code; the one static only marks the page.
    static const DialogTemplate t{
        kPartSelectionTemplate, "", 214, 340, true, {{1112, ControlKind::Static, "", {13, 15, 21, 8}}}};
    return t;
}

const DialogTemplate& ProjectTemplate() {
    static const DialogTemplate t{
        kProjectTemplate,
        "",
        211,
        337,
        true,
        {
            {1014, ControlKind::PushButton, "New Project", {55, 25, 101, 13}},
            {1015, ControlKind::PushButton, "Load Project", {55, 38, 101, 13}},
            {1016, ControlKind::PushButton, "Save Project", {55, 51, 101, 13}},
            {1019, ControlKind::PushButton, "About", {55, 64, 101, 13}},
            {1018, ControlKind::PushButton, "Save Creature", {56, 81, 101, 14}},
            {kIdStatic, ControlKind::GroupBox, "Export options", {8, 104, 196, 38}},
            {1092, ControlKind::AutoCheckBox, "Store surfaces Names as <Type> <Name>", {17, 117, 173, 16}},
        },
    };
    return t;
}

const DialogTemplate& PreferencesTemplate() {
    static const DialogTemplate t{
        kPreferencesTemplate,
        "",
        210,
        340,
        true,
        {
            {kIdStatic, ControlKind::GroupBox, "Object Directory", {7, 7, 196, 33}},
            {1018, ControlKind::Edit, "", {13, 19, 163, 13}, ui::kStyleReadOnly},
            {1017, ControlKind::PushButton, "...", {181, 19, 16, 13}},
            {kIdStatic, ControlKind::GroupBox, "Project Directory", {7, 46, 196, 33}},
            {1020, ControlKind::Edit, "", {13, 58, 163, 13}, ui::kStyleReadOnly},
            {1019, ControlKind::PushButton, "...", {181, 58, 16, 13}},
            {kIdStatic, ControlKind::GroupBox, "Background Color", {7, 84, 196, 69}},
            {kIdStatic, ControlKind::Static, "R", {13, 102, 8, 8}},
            {1029, ControlKind::HScrollBar, "", {21, 100, 175, 12}},
            {kIdStatic, ControlKind::Static, "G", {13, 119, 8, 8}},
            {1030, ControlKind::HScrollBar, "", {21, 116, 175, 12}},
            {kIdStatic, ControlKind::Static, "B", {13, 135, 8, 8}},
            {1031, ControlKind::HScrollBar, "", {21, 132, 175, 12}},
            {kIdStatic, ControlKind::GroupBox, "Wireframe Color", {7, 161, 196, 69}},
            {kIdStatic, ControlKind::Static, "R", {13, 178, 8, 8}},
            {1032, ControlKind::HScrollBar, "", {21, 177, 175, 12}},
            {kIdStatic, ControlKind::Static, "G", {13, 196, 8, 8}},
            {1033, ControlKind::HScrollBar, "", {21, 193, 175, 12}},
            {kIdStatic, ControlKind::Static, "B", {13, 212, 8, 8}},
            {1034, ControlKind::HScrollBar, "", {21, 209, 175, 12}},
        },
    };
    return t;
}

namespace {

// One axis group of the part parameter page: g is its top, ids its six controls.
void AddAxisGroup(std::vector<ControlTemplate>& c, const char* title, int g, int none, int positive,
                  int negative, int value, int step, int bar, int stepY) {
    c.push_back({kIdStatic, ControlKind::GroupBox, title, {7, g, 196, 65}});
    c.push_back({kIdStatic, ControlKind::Static, "Lock", {12, g + 13, 19, 9}});
    c.push_back({kIdStatic, ControlKind::Static, "Value", {12, g + 30, 19, 8}});
    c.push_back({kIdStatic, ControlKind::Static, "Adjust", {12, g + 47, 19, 10}});
    c.push_back({none, ControlKind::RadioPushButton, "None", {35, g + 14, 54, 11}, ui::kStyleGroup});
    c.push_back({positive, ControlKind::RadioPushButton, "Positive", {89, g + 14, 54, 11}});
    c.push_back({negative, ControlKind::RadioPushButton, "Negative", {143, g + 14, 54, 11}});
    c.push_back({value, ControlKind::Edit, "", {35, g + 29, 54, 12}, ui::kStyleGroup});
    c.push_back({kIdStatic, ControlKind::Static, "Slider Step", {94, g + 31, 45, 9}, ui::kStyleRightAlign});
    c.push_back({step, ControlKind::Edit, "", {143, stepY, 54, 12}});
    c.push_back({bar, ControlKind::HScrollBar, "", {35, g + 46, 162, 12}});
}

}  // namespace

const DialogTemplate& PartParameterTemplate() {
    static const DialogTemplate t = [] {
        DialogTemplate d{kPartParameterTemplate, "", 210, 340, true, {}};
        d.controls.push_back({kIdStatic, ControlKind::Static, "Object", {7, 17, 29, 9}});
        d.controls.push_back({1019, ControlKind::DropDownList, "", {31, 16, 126, 224}});
        d.controls.push_back({1020, ControlKind::PushButton, "<", {169, 16, 14, 13}});
        d.controls.push_back({1021, ControlKind::PushButton, ">", {183, 16, 14, 13}});
        AddAxisGroup(d.controls, "X Parameters", 38, 1022, 1025, 1026, 1027, 1023, 1024, 38 + 28);
        AddAxisGroup(d.controls, "Y Parameters", 110, 1040, 1041, 1042, 1043, 1044, 1045, 110 + 28);
        AddAxisGroup(d.controls, "Z Parameters", 180, 1046, 1047, 1048, 1049, 1050, 1051, 209);
        return d;
    }();
    return t;
}

const DialogTemplate& AboutTemplate() {
    static const DialogTemplate t{
        kAboutTemplate,
        kAboutCaption,
        227,
        127,
        false,
        {
            {ui::kIdOk, ControlKind::DefaultPushButton, "OK", {89, 106, 50, 14}},
            {1076, ControlKind::Static, kAboutCredits, {7, 8, 213, 24}},
            {kIdStatic, ControlKind::Static, "Homepage:", {7, 40, 38, 8}},
            {1077, ControlKind::PushButton, kHomePage, {49, 38, 73, 14}},
            {kIdStatic, ControlKind::Static, "Email:", {7, 58, 30, 8}},
            {1078, ControlKind::PushButton, kMailAddresses[0], {50, 56, 73, 14}},
            {1079, ControlKind::PushButton, kMailAddresses[1], {50, 70, 73, 14}},
            {1080, ControlKind::PushButton, kMailAddresses[2], {147, 56, 73, 14}},
        },
    };
    return t;
}

}  // namespace resources
