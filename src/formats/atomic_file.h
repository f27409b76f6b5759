// AtomicFile: writes a file through a temporary file beside it, renamed over
// the target only when everything was written, so that a failed save (a full
// disk, a vanished folder) never leaves a partial file or spoils the old one.
// Writes are buffered; the first error is remembered and reported by Commit.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace formats {

// Whether Commit syncs every file to the disk before its rename (the
// default). A batch that writes thousands of files turns it off and syncs
// the file system once at its end instead.
void SetSyncEachFile(bool sync);

// Called by Commit right after it synced a file and before the rename
// (tests watch the order through it); null: none.
void SetSyncObserver(void (*observer)(const std::string& temporary, const std::string& target));

// Removes the temporary file of every AtomicFile still open in the process.
// Safe inside a signal handler: an interrupted run leaves none behind.
void RemoveOpenTemporaries();

// The path a write to `path` lands in: a symbolic link is followed to its
// final target (relative targets from the link's folder), so that saving
// through a link updates what it points to and keeps the link.
std::string FinalTarget(const std::string& path);

class AtomicFile {
public:
    explicit AtomicFile(std::string path);
    ~AtomicFile();  // a file not committed is removed
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary file; false when it cannot be created.
    bool Open();
    void Write(const void* data, std::size_t size);
    void Write(std::string_view text) { Write(text.data(), text.size()); }
    void Put(char c) {
        if (used_ < buffer_.size()) {
            buffer_[used_++] = c;
        } else {
            Write(&c, 1);
        }
    }
    // The bytes written so far (also those still in the buffer).
    std::size_t Size() const { return written_ + used_; }
    // Writes the buffer, syncs, closes and renames the temporary file over
    // the target. False when any step or any earlier write failed; the
    // temporary file is gone and the target untouched then.
    bool Commit();

    const std::string& Path() const { return path_; }
    // Why the first step that failed failed ("No space left on device");
    // empty when nothing failed.
    std::string ErrorText() const;
    // The file and why ("out/hero.3ds: No space left on device"), for a
    // command line that says more than the program's box; empty when
    // nothing failed.
    std::string Failure() const;

private:
    bool Flush();
    void Discard();

    void Fail(int error);
    void Register();
    void Unregister();

    std::string path_;    // as given
    std::string target_;  // where the file lands (links followed)
    std::string tempPath_;
    int error_ = 0;
    int slot_ = -1;  // in the table of open temporaries
    int fd_ = -1;
    bool failed_ = false;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
    std::size_t written_ = 0;
};

}  // namespace formats
