// The program's command line: a project as a path or a file:// URI, --help
// and --version before anything else, the toolkit's options passed over,
// and one line for anything it does not understand.
#include <gtest/gtest.h>

#include "app/command_line.h"

namespace app {
namespace {

using Action = CommandLine::Action;

TEST(CommandLine, EachKindOfArgumentGivesItsAction) {
    const struct {
        std::vector<std::string> args;
        Action action;
        std::string project;  // or the start of the error
    } rows[] = {
        {{}, Action::Run, ""},
        {{"hero.mwp"}, Action::Run, "hero.mwp"},
        {{"file:///home/me/my%20hero.mwp"}, Action::Run, "/home/me/my hero.mwp"},
        {{"-platform", "xcb", "--", "-odd.mwp"}, Action::Run, "-odd.mwp"},
        {{"-reverse", "-style=fusion", "hero.mwp"}, Action::Run, "hero.mwp"},
        {{"hero.mwp", "--help"}, Action::Help, ""},
        {{"-h"}, Action::Help, ""},
        {{"--version", "--bogus"}, Action::Version, ""},
        {{"--bogus", "--help"}, Action::Wrong, "unknown option --bogus"},
        {{"-x"}, Action::Wrong, "unknown option -x"},
        {{"a.mwp", "b.mwp"}, Action::Wrong, "one project file at most"},
        {{"https://example.org/a.mwp"}, Action::Wrong, "https://example.org/a.mwp: neither"},
    };
    for (const auto& row : rows) {
        const CommandLine line = ParseCommandLine(row.args);
        const std::string where = row.args.empty() ? "(none)" : row.args[0];
        EXPECT_EQ(line.action, row.action) << where;
        if (row.action == Action::Wrong) {
            EXPECT_EQ(line.error.rfind(row.project, 0), 0u) << line.error;
            EXPECT_EQ(line.error.find('\n'), std::string::npos);
        } else {
            EXPECT_EQ(line.project, row.project) << where;
        }
    }
    EXPECT_EQ(VersionText(), "Morphwright 1.6\n");
}

}  // namespace
}  // namespace app
