// What every mwbatch command that works on figures sets up the same way:
// the object library (--objects, else ObjectDir of mw.cfg, found as the
// program finds it) and the colours of mw.cfg.
#pragma once

#include <iosfwd>
#include <string>

#include "formats/config_file.h"
#include "cli/options.h"
#include "formats/export_settings.h"

namespace model {
class Creature;
}
namespace ui {
class MessageSink;
}

namespace cli {

// The settings of mw.cfg (the current directory's, else the user's); with
// neither, the defaults and the installed sample library.
formats::ConfigValues ConfiguredValues();

// The object library to use: --objects, else ObjectDir of mw.cfg. False,
// with one line on `err` saying why, when there is none, it is no
// directory, or it holds none of the 22 part folders.
bool ResolveObjectDir(const ParsedOptions& options, const char* command, std::ostream& err,
                      std::string& objectDir);

// --scale METRES_PER_UNIT as a number: false when it is given but is no
// finite size above 0 (a wrong command line). Without it, `metresPerUnit` is 0.
bool ParseScale(const ParsedOptions& options, double& metresPerUnit);

// The size of one object unit for the modern exports: --scale (already
// parsed, above 0) or the library's own unit (library.cfg), else 1 m. False,
// with one line on `err`, when the library's file is wrong and no --scale
// overrides it.
bool ResolveUnit(double scale, const std::string& objectDir, const char* command, std::ostream& err,
                 formats::ExportSettings& settings);

// Reads a project file and loads its parts into the creature as "Load
// Project" does; the parts' own messages go to the creature's sink. False,
// with the box's line on `failures`, when the file cannot be opened.
// `missing`, when given, gets the number of the project's parts that could
// not be loaded (their files missing or refused).
bool LoadProjectFigure(const std::string& path, const std::string& objectDir, model::Creature& creature,
                       ui::MessageSink& failures, int* missing = nullptr);

}  // namespace cli
