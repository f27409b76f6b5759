// The figure's mesh exports in one table, in the order of the "Save
// Creature" file types (type 1 is the first). The dialog, mwbatch export and
// mwbatch random, their help texts and messages all read it: a new format
// is its writer and one row.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "formats/export_settings.h"

namespace model {
class Creature;
}
namespace ui {
class MessageSink;
}

namespace formats {

struct MeshExport {
    const char* extension;  // with its dot
    // The "Save Creature" file type, shown as "<label> (*<extension>)".
    const char* dialogLabel;
    // The dialog adds the extension to a name that does not end in it; for
    // DXF only in this very letter case.
    bool dialogMatchesCase;
    // What the file holds, for "mwbatch export --help".
    const char* help;
    // The same for "mwbatch random --help", where figure-<seed> files are
    // listed with their placement.
    const char* figureHelp;
    bool placed;  // the settings' unit and the readers' axes apply
    // Where a placed figure lands, for "mwbatch export --help" ("in metres,
    // +Y up, ..."); rows that share it are named together. Null when not
    // placed. A no-break space (kNoBreak) keeps "y = 0" on one line.
    const char* placement;
    // The file carries the figure's skeleton and skin, and takes a pose as
    // its joints' rotations over the rest mesh (glTF binary). Every other
    // file is given the posed figure's geometry.
    bool rigged = false;
    // Every writer names the surfaces by the settings; the placed ones also
    // place the figure by them.
    bool (*write)(const model::Creature& creature, const std::string& path, ui::MessageSink& messages,
                  const ExportSettings& settings);
};

// A space the help texts never break a line at (UTF-8 no-break space).
constexpr std::string_view kNoBreak = "\u00a0";

// Every row, in the order of the dialog's file types.
extern const std::span<const MeshExport> kMeshExports;

// The export of an extension (its dot included), compared without regard to
// letter case; null for none.
const MeshExport* MeshExportOf(std::string_view extension);

}  // namespace formats
