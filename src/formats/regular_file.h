// Files the program reads (object files, projects, mw.cfg, library.cfg)
// are regular files: a FIFO or a device named like one would block the
// reader forever or never end, and a folder holds nothing to read.
#pragma once

#include <cstdint>
#include <string>

namespace formats {

// True when `path` (its links followed) is a regular file; else false with
// the reason: "not a regular file", or the system's ("No such file or
// directory"). `size`, when given, gets the file's size.
bool CheckRegularFile(const std::string& path, std::string& why, std::uint64_t* size = nullptr);

}  // namespace formats
