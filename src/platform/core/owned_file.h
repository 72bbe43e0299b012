#pragma once
// A stdio stream owned by one holder and closed when it goes: the one place a stream is closed.
#include <cstdio>
#include <memory>

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};
using OwnedFile = std::unique_ptr<FILE, FileCloser>;

// Closes the stream now; false when the close failed, so that a write it held back was lost
// (errno says why). A null stream closes without fault.
inline bool closeFile(OwnedFile& file) {
    return !file || std::fclose(file.release()) == 0;
}
