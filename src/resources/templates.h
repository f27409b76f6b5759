// The dialog templates of the program's windows (controls with ids, texts,
// kinds and rectangles in dialog units) and its resource ids.
#pragma once

#include "ui/dialog_template.h"

namespace resources {

constexpr int kMainWindowTemplate = 1002;
constexpr int kViewTemplate = 103;
constexpr int kPartSelectionTemplate = 1003;
constexpr int kProjectTemplate = 1004;
constexpr int kPreferencesTemplate = 101;
constexpr int kPartParameterTemplate = 1005;
constexpr int kAboutTemplate = 1008;
constexpr int kAppIcon = 1013;

// Main window controls.
constexpr int kIdTabStrip = 1000;
constexpr int kIdZoomBar = 1008;
constexpr int kIdSmooth = 1010;
constexpr int kIdFlat = 1011;
constexpr int kIdWireframe = 1012;
constexpr int kIdClearCreature = 1034;
constexpr int kIdRandomCreature = 1035;
constexpr int kIdUndo = 1036;
constexpr int kIdRedo = 1037;
// The Home key's command: the camera back to where it starts (no control).
constexpr int kIdResetView = 1099;

constexpr const char* kMainWindowCaption = "Vexholm - Morphwright 1.6";

const ui::DialogTemplate& MainWindowTemplate();
const ui::DialogTemplate& ViewTemplate();
const ui::DialogTemplate& PartSelectionTemplate();
const ui::DialogTemplate& ProjectTemplate();
const ui::DialogTemplate& PreferencesTemplate();
const ui::DialogTemplate& PartParameterTemplate();
const ui::DialogTemplate& AboutTemplate();

// The About box's texts: this program's own credits and addresses.
constexpr const char* kAboutCaption = "About Morphwright 1.6";
constexpr const char* kAboutCredits = "Morphwright 1.6\nHuman figures from interchangeable body parts.";
constexpr const char* kHomePage = "www.example.org";
constexpr const char* kHomePageLink = "https://www.example.org/";
constexpr const char* kMailAddresses[3] = {"info@example.org", "help@example.org", "dev@example.org"};

}  // namespace resources
