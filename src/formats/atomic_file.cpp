#include "formats/atomic_file.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace formats {

namespace {

constexpr std::size_t kBufferSize = 1 << 16;

std::atomic<bool> syncEachFile{true};
std::atomic<void (*)(const std::string&, const std::string&)> syncObserver{nullptr};

// The temporary files open now, for a signal handler to remove: plain
// pointers to the files' own paths, taken and given back without locks.
constexpr int kSlots = 4096;
std::atomic<const char*> openTemporaries[kSlots];

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

void SetSyncObserver(void (*observer)(const std::string&, const std::string&)) { syncObserver = observer; }

void RemoveOpenTemporaries() {
    for (auto& slot : openTemporaries) {
        const char* path = slot.exchange(nullptr);
        if (path != nullptr) ::unlink(path);
    }
}

std::string FinalTarget(const std::string& path) {
    std::string target = path;
    // As many links as the system itself follows.
    for (int hops = 0; hops < 40; ++hops) {
        struct stat link {};
        if (::lstat(target.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) break;
        std::string points(static_cast<std::size_t>(link.st_size > 0 ? link.st_size : 4096) + 1, '\0');
        const ssize_t n = ::readlink(target.c_str(), points.data(), points.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= points.size()) break;
        points.resize(static_cast<std::size_t>(n));
        const std::size_t slash = target.find_last_of('/');
        target = points[0] == '/' || slash == std::string::npos ? points : target.substr(0, slash + 1) + points;
    }
    return target;
}

AtomicFile::AtomicFile(std::string path) : path_(std::move(path)) {}

std::string AtomicFile::ErrorText() const { return error_ == 0 ? std::string() : std::strerror(error_); }

std::string AtomicFile::Failure() const { return error_ == 0 ? std::string() : path_ + ": " + ErrorText(); }

void AtomicFile::Fail(int error) {
    if (!failed_ && error_ == 0) {
        error_ = error;
    }
    failed_ = true;
}

void AtomicFile::Register() {
    for (int i = 0; i < kSlots; ++i) {
        const char* none = nullptr;
        if (openTemporaries[i].compare_exchange_strong(none, tempPath_.c_str())) {
            slot_ = i;
            return;
        }
    }
}

void AtomicFile::Unregister() {
    if (slot_ >= 0) openTemporaries[slot_].store(nullptr);
    slot_ = -1;
}

AtomicFile::~AtomicFile() { Discard(); }

bool AtomicFile::Open() {
    Discard();
    failed_ = false;
    error_ = 0;
    used_ = 0;
    written_ = 0;
    if (path_.empty()) return false;
    target_ = FinalTarget(path_);
    std::string pattern = target_ + ".tmp-XXXXXX";
    fd_ = ::mkstemp(pattern.data());
    if (fd_ < 0) {
        Fail(errno);
        return false;
    }
    tempPath_ = pattern;
    Register();
    ::fchmod(fd_, FileMode(target_));
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
                Fail(n < 0 ? errno : ENOSPC);
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
            Fail(n < 0 ? errno : ENOSPC);
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
    if (ok && syncEachFile) {
        ok = ::fsync(fd_) == 0;
        if (!ok) Fail(errno);
        if (auto observer = syncObserver.load()) observer(tempPath_, target_);
    }
    if (::close(fd_) != 0 && ok) {
        Fail(errno);
        ok = false;
    }
    fd_ = -1;
    if (ok && std::rename(tempPath_.c_str(), target_.c_str()) != 0) {
        Fail(errno);
        ok = false;
    }
    Unregister();
    if (!ok) ::unlink(tempPath_.c_str());
    tempPath_.clear();
    return ok;
}

void AtomicFile::Discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    Unregister();
    if (!tempPath_.empty()) {
        ::unlink(tempPath_.c_str());
        tempPath_.clear();
    }
}

}  // namespace formats
