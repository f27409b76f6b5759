#include "formats/regular_file.h"

#include <cerrno>
#include <cstring>

#include <sys/stat.h>

namespace formats {

bool CheckRegularFile(const std::string& path, std::string& why, std::uint64_t* size) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        why = std::strerror(errno);
        return false;
    }
    if (!S_ISREG(status.st_mode)) {
        why = "not a regular file";
        return false;
    }
    if (size != nullptr) *size = static_cast<std::uint64_t>(status.st_size);
    return true;
}

}  // namespace formats
