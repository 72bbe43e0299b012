#include "quotes/core/pending_data_file.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {
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
} // namespace

PendingDataFile::PendingDataFile(std::string path) : path_(std::move(path)) {
    if (::access(path_.c_str(), F_OK) == 0 && ::access(path_.c_str(), W_OK) != 0) {
        fail(errno);
        return;
    }
    std::string pattern = path_ + ".XXXXXX";
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) {
        fail(errno);
        return;
    }
    temporary_ = pattern;
    // The file gets the permissions a plain create would have given it.
    ::fchmod(fd, 0666 & ~creationMask());
    stream_ = ::fdopen(fd, "w");
    if (!stream_) {
        fail(errno);
        ::close(fd);
        discard();
    }
}

PendingDataFile::~PendingDataFile() {
    if (stream_)
        std::fclose(stream_);
    stream_ = nullptr;
    discard();
}

void PendingDataFile::fail(int error) {
    if (error_.empty())
        error_ = std::strerror(error != 0 ? error : EIO);
}

void PendingDataFile::discard() {
    if (!temporary_.empty())
        ::unlink(temporary_.c_str());
    temporary_.clear();
}

void PendingDataFile::reopenForAppend() {
    if (!stream_)
        return;
    if (std::fclose(stream_) != 0)
        fail(errno);
    stream_ = std::fopen(temporary_.c_str(), "a");
    if (!stream_)
        fail(errno);
}

bool PendingDataFile::commit() {
    if (stream_) {
        errno = 0;
        if (std::fflush(stream_) != 0 || std::ferror(stream_))
            fail(errno);
        if (std::fclose(stream_) != 0)
            fail(errno);
        stream_ = nullptr;
    }
    if (error_.empty() && ::rename(temporary_.c_str(), path_.c_str()) != 0)
        fail(errno);
    if (!error_.empty()) {
        discard();
        return false;
    }
    temporary_.clear();
    return true;
}
