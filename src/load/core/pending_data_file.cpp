#include "load/core/pending_data_file.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/system_error.h"

namespace {
constexpr int TemporaryTries = 16;

// The process's file-creation mask, read without changing it (umask() would, for every thread).
mode_t creationMask() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0)
            return static_cast<mode_t>(std::strtol(line.c_str() + 6, nullptr, 8));
    }
    return 022;
}

// A temporary of a data file is its name, a dot and six letters or digits, as mkostemp makes them.
bool isTemporaryOf(const std::string& entry, const std::string& name) {
    return entry.size() == name.size() + 7 && entry.starts_with(name + ".") &&
           std::all_of(entry.end() - 6, entry.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
}

std::string randomSuffix() {
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    std::string suffix;
    for (int i = 0; i < 6; ++i)
        suffix.push_back(alphabet[random() % (sizeof alphabet - 1)]);
    return suffix;
}

// Temporaries of this data file that a killed load left behind. A live load holds a lock on its
// temporary, so another instance's file in the making is never taken for one.
void removeStaleTemporaries(const std::string& folder, const std::string& name) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        if (!isTemporaryOf(entry->d_name, name))
            continue;
        const int fd = ::openat(::dirfd(dir), entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat status {};
        if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
        ::close(fd);
    }
    ::closedir(dir);
}
} // namespace

PendingDataFile::PendingDataFile(std::string path) : path_(std::move(path)) {
    if (::access(path_.c_str(), F_OK) == 0 && ::access(path_.c_str(), W_OK) != 0) {
        fail(errno);
        return;
    }
    const std::size_t slash = path_.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path_.substr(0, slash);
    removeStaleTemporaries(folder, slash == std::string::npos ? path_ : path_.substr(slash + 1));

    // A file without a name until the load ends normally: a killed load leaves nothing behind.
    fd_ = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd_ < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        // A file system without unnamed files: a named one, locked while the load lives.
        std::string pattern = path_ + ".XXXXXX";
        fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (fd_ >= 0) {
            temporary_ = pattern;
            // The file gets the permissions a plain create would have given it.
            ::fchmod(fd_, 0666 & ~creationMask());
        }
    }
    if (fd_ < 0) {
        fail(errno);
        return;
    }
    ::flock(fd_, LOCK_EX | LOCK_NB);
    openStream("w");
}

PendingDataFile::~PendingDataFile() {
    stream_.reset();
    discard();
}

void PendingDataFile::fail(int error) {
    if (error_.empty())
        error_ = systemErrorText(error != 0 ? error : EIO);
}

// The stream writes through a copy of the descriptor, which keeps the file (and its lock) while
// the stream is closed and opened again.
void PendingDataFile::openStream(const char* mode) {
    const int fd = ::dup(fd_);
    stream_.reset(fd < 0 ? nullptr : ::fdopen(fd, mode));
    if (!stream_) {
        fail(errno);
        if (fd >= 0)
            ::close(fd);
    }
}

void PendingDataFile::discard() {
    if (!temporary_.empty())
        ::unlink(temporary_.c_str());
    temporary_.clear();
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

void PendingDataFile::reopenForAppend() {
    if (!stream_)
        return;
    if (!closeFile(stream_))
        fail(errno);
    openStream("a");
}

// An unnamed file gets a name beside the data file only now, for the rename over it.
bool PendingDataFile::nameTemporary() {
    const std::string self = "/proc/self/fd/" + std::to_string(fd_);
    for (int i = 0; i < TemporaryTries && temporary_.empty(); ++i) {
        const std::string name = path_ + "." + randomSuffix();
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
            temporary_ = name;
        else if (errno != EEXIST)
            break;
    }
    if (temporary_.empty())
        fail(errno);
    return !temporary_.empty();
}

bool PendingDataFile::commit() {
    if (stream_) {
        errno = 0;
        if (std::fflush(stream_.get()) != 0 || std::ferror(stream_.get()))
            fail(errno);
        if (!closeFile(stream_))
            fail(errno);
    }
    if (error_.empty() && (!temporary_.empty() || nameTemporary()) && ::rename(temporary_.c_str(), path_.c_str()) != 0)
        fail(errno);
    if (!error_.empty()) {
        discard();
        return false;
    }
    temporary_.clear();
    discard();
    return true;
}
