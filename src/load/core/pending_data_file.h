#pragma once
// A load's data file, written beside the old one as a file without a name (or, where the file
// system has none, under a temporary name) and put in its place only when the load ends
// normally: a load that fails, or is killed, leaves the previous file as it was.
#include <cstdio>
#include <string>

#include "platform/core/owned_file.h"

class PendingDataFile {
public:
    // Starts the temporary file beside path, first removing what killed loads left there. A data
    // file that exists but may not be written is left alone: the load then writes nothing and
    // error() says why.
    explicit PendingDataFile(std::string path);
    ~PendingDataFile(); // a file never committed is removed
    PendingDataFile(const PendingDataFile&) = delete;
    PendingDataFile& operator=(const PendingDataFile&) = delete;

    // Where the rows go; nullptr when nothing can be written.
    FILE* stream() const { return stream_.get(); }
    // Closes the file and opens it again for appending.
    void reopenForAppend();
    // Closes the file and renames it over the data file; false, with error() set, when any
    // write, the close or the rename failed. The old data file is then untouched.
    bool commit();
    // Why nothing, or not everything, was written: the system's text ("Permission denied").
    const std::string& error() const { return error_; }

private:
    void fail(int error);
    void openStream(const char* mode);
    bool nameTemporary();
    void discard();

    std::string path_;
    std::string temporary_; // the file's name while it has one
    int fd_ = -1;           // the file, kept open (and locked) for the whole load
    OwnedFile stream_;
    std::string error_;
};
