// Where the program finds the user's things: which mw.cfg is read and
// written (the start-up folder's, else the one under the user's config
// folder), what stands in for the folders when there is no file at all (the
// installed sample library, the documents folder), and paths handed over as
// file:// URIs. The program and mwbatch share these rules.
#pragma once

#include <string>

#include "formats/config_file.h"

namespace formats {

// What the rules look at, gathered once so that tests can give their own.
struct UserEnvironment {
    std::string startDir;       // the current directory at start-up
    std::string home;           // $HOME
    std::string xdgConfigHome;  // $XDG_CONFIG_HOME, as set (may be empty or relative)
    std::string programPath;    // the running program's file
};

// The process's own: the current directory, the environment, and the
// program's file from /proc/self/exe, else from RememberProgramArgument.
UserEnvironment CurrentUserEnvironment();

// argv[0], for where /proc/self/exe cannot be read.
void RememberProgramArgument(const char* argv0);

// $XDG_CONFIG_HOME when it is absolute, else $HOME/.config.
std::string UserConfigDir(const UserEnvironment& env);

// The mw.cfg to read and write: the start-up folder's when it has one,
// else <user config dir>/morphwright/mw.cfg.
std::string ConfigFilePath(const UserEnvironment& env);

// <program's folder>/../share/morphwright/objects when that folder exists,
// else empty.
std::string InstalledObjectDir(const UserEnvironment& env);

// The user's documents folder: XDG_DOCUMENTS_DIR of user-dirs.dirs, else
// $HOME/Documents when it exists, else $HOME.
std::string DocumentsDir(const UserEnvironment& env);

// Reads the settings into `values` from ConfigFilePath; with no file there,
// ObjectDir and ProjectDir take the installed library and the documents
// folder. Returns the path the settings belong to.
std::string LoadUserConfig(const UserEnvironment& env, ConfigValues& values);

// Writes the file, creating its folder first; false when it failed.
bool SaveUserConfig(const std::string& path, const ConfigValues& values);

// A path as given, or the path of a file:// URI (percent escapes decoded,
// "file://localhost/..." and "file:/..." too). False for another scheme or
// a malformed URI.
bool PathFromArgument(const std::string& argument, std::string& path);

}  // namespace formats
