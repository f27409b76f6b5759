// What every mwbatch command that works on figures sets up the same way:
// the object library (--objects, else ObjectDir of mw.cfg in the current
// directory) and the colours of mw.cfg.
#pragma once

#include <iosfwd>
#include <string>

#include "app/config_file.h"
#include "cli/options.h"

namespace model {
class Creature;
}
namespace ui {
class MessageSink;
}

namespace cli {

// mw.cfg of the current directory, or the defaults when there is none.
app::ConfigValues ConfiguredValues();

// The object library to use: --objects, else ObjectDir of mw.cfg. False,
// with one line on `err` saying why, when there is none, it is no
// directory, or it holds none of the 22 part folders.
bool ResolveObjectDir(const ParsedOptions& options, const char* command, std::ostream& err,
                      std::string& objectDir);

// Reads a project file and loads its parts into the creature as "Load
// Project" does; the parts' own messages go to the creature's sink. False,
// with the box's line on `failures`, when the file cannot be opened.
bool LoadProjectFigure(const std::string& path, const std::string& objectDir, model::Creature& creature,
                       ui::MessageSink& failures);

}  // namespace cli
