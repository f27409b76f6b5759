// The object library on disk: one folder per body part, named as the part,
// holding that part's object files (*.mwo in any letter case).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace formats {

// objectDir + "/" + part name; an empty directory gives a path relative to
// the current directory.
std::string PartFolder(const std::string& objectDir, std::string_view partName);

// Whether a file name ends in ".mwo", in any letter case.
bool IsObjectFileName(std::string_view name);

// The object file names of a part's folder in the order of its list: sorted
// without regard to letter case (names equal but for case by their bytes,
// so the order is the same on every machine). Empty when the folder is
// missing or unreadable.
std::vector<std::string> ObjectFilesOf(const std::string& objectDir, std::string_view partName);

// Why the last object file this thread's reader refused was refused ("not a
// regular file", "bad magic (not an object file)"), for a command line that
// says more than the program's box; empty when none was. Taking it clears it.
std::string TakeLastObjectRefusal();

}  // namespace formats
