// The commands of mwbatch, the program's companion without a window: one
// file per command, each a function from its arguments to an exit status.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

// Exit statuses shared by every command.
constexpr int kExitDone = 0;     // the output was written
constexpr int kExitFailed = 1;   // nothing (or not everything) was written
constexpr int kExitUsage = 2;    // the command line was wrong

struct Command {
    const char* name;
    std::string summary;  // one line for the overview
    std::string usage;    // the full help of the command
    int (*run)(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
};

// Every command, in the order the overview lists them.
const std::vector<Command>& Commands();

// One function and one help text per command, each in its own file. The
// texts that name the mesh formats are built from the export table.
int RunExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
const std::string& ExportUsage();
// What export writes: ".3ds, .dxf, ... or .mwp".
std::string ExportOutputs();
int RunRender(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
const std::string& RenderUsage();
int RunRandom(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
const std::string& RandomUsage();
int RunCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
extern const char* const kCheckUsage;
int RunThumbnail(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
const std::string& ThumbnailUsage();

}  // namespace cli
