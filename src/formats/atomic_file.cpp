#include "formats/atomic_file.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace formats {

namespace {

constexpr std::size_t kBufferSize = 1 << 16;

std::atomic<bool> syncEachFile{true};

// The mode a newly created file gets (0666 less the umask), or the
// target's own when it exists, so that saving over a file keeps its mode.
mode_t FileMode(const std::string& path) {
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) return existing.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}

}  // namespace

void SetSyncEachFile(bool sync) { syncEachFile = sync; }

AtomicFile::AtomicFile(std::string path) : path_(std::move(path)) {}

AtomicFile::~AtomicFile() { Discard(); }

bool AtomicFile::Open() {
    Discard();
    failed_ = false;
    used_ = 0;
    written_ = 0;
    if (path_.empty()) return false;
    std::string pattern = path_ + ".tmp-XXXXXX";
    fd_ = ::mkstemp(pattern.data());
    if (fd_ < 0) return false;
    tempPath_ = pattern;
    ::fchmod(fd_, FileMode(path_));
    buffer_.resize(kBufferSize);
    return true;
}

void AtomicFile::Write(const void* data, std::size_t size) {
    if (fd_ < 0 || failed_) return;
    const char* bytes = static_cast<const char*>(data);
    if (size <= buffer_.size() - used_) {
        std::memcpy(buffer_.data() + used_, bytes, size);
        used_ += size;
        return;
    }
    if (!Flush()) return;
    if (size >= buffer_.size()) {
        // Large blocks go straight to the file.
        while (size > 0) {
            const ssize_t n = ::write(fd_, bytes, size);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                failed_ = true;
                return;
            }
            bytes += n;
            size -= static_cast<std::size_t>(n);
            written_ += static_cast<std::size_t>(n);
        }
        return;
    }
    std::memcpy(buffer_.data(), bytes, size);
    used_ = size;
}

bool AtomicFile::Flush() {
    std::size_t done = 0;
    while (done < used_ && !failed_) {
        const ssize_t n = ::write(fd_, buffer_.data() + done, used_ - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            failed_ = true;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    written_ += done;
    used_ = 0;
    return !failed_;
}

bool AtomicFile::Commit() {
    if (fd_ < 0) return false;
    bool ok = !failed_ && Flush();
    if (syncEachFile) ok = ::fsync(fd_) == 0 && ok;
    ok = ::close(fd_) == 0 && ok;
    fd_ = -1;
    if (ok) ok = std::rename(tempPath_.c_str(), path_.c_str()) == 0;
    if (!ok) {
        ::unlink(tempPath_.c_str());
    }
    tempPath_.clear();
    return ok;
}

void AtomicFile::Discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!tempPath_.empty()) {
        ::unlink(tempPath_.c_str());
        tempPath_.clear();
    }
}

}  // namespace formats
