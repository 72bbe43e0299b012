#include "load/core/portfolio_rules.h"

#include <QByteArrayView>
#include <QStringDecoder>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/system_error.h"

namespace {

constexpr int OverlongKeptCharacters = SymbolSlotSize - 2; // room for the '~' mark and the NUL
constexpr std::size_t TextCheckSize = 4096;                // a NUL this early: no text file

// Appends what the descriptor holds from where it stands, at most limit bytes.
bool readInto(int fd, std::string& bytes, std::size_t limit) {
    char buffer[65536];
    while (limit > 0) {
        const ssize_t got = ::read(fd, buffer, std::min(sizeof buffer, limit));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(got));
        limit -= static_cast<std::size_t>(got);
    }
    return true;
}

std::string utf8FromUtf16(const std::string& bytes, QStringDecoder::Encoding encoding) {
    QStringDecoder decoder(encoding, QStringDecoder::Flag::Stateless);
    const QString text = decoder(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return text.toUtf8().toStdString();
}

// The text of a portfolio that began with a byte-order mark, as a file of its own in memory, so
// that every reader sees it from its first byte and may read it again from there.
OwnedFile memoryFile(const std::string& text) {
    const int fd = ::memfd_create("portfolio", MFD_CLOEXEC);
    if (fd < 0)
        return nullptr;
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t put = ::write(fd, text.data() + written, text.size() - written);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            ::close(fd);
            return nullptr;
        }
        written += static_cast<std::size_t>(put);
    }
    OwnedFile file(::lseek(fd, 0, SEEK_SET) == 0 ? ::fdopen(fd, "r") : nullptr);
    if (!file)
        ::close(fd);
    return file;
}

OwnedFile refuse(int fd, std::string* why, const std::string& reason) {
    ::close(fd);
    *why = reason;
    return nullptr;
}

// One character as a text-mode stream gives it on the portfolio's home platform: CR LF
// arrives as a single '\n', so a read boundary can never fall between the two.
int getTextChar(FILE* file) {
    const int c = std::fgetc(file);
    if (c != '\r')
        return c;
    const int next = std::fgetc(file);
    if (next == '\n')
        return '\n';
    if (next != EOF)
        std::ungetc(next, file);
    return '\r';
}

void storeSymbol(const std::string& line, char* slot) {
    if (static_cast<int>(line.size()) < SymbolSlotSize) {
        std::memcpy(slot, line.c_str(), line.size() + 1);
        return;
    }
    // Cut and marked, so that it is never taken for the symbol its first characters spell.
    std::memcpy(slot, line.data(), OverlongKeptCharacters);
    slot[OverlongKeptCharacters] = '~';
    slot[OverlongKeptCharacters + 1] = '\0';
}

} // namespace

bool readPortfolioChunk(FILE* file, std::string& chunk, bool* endsLine) {
    chunk.clear();
    while (static_cast<int>(chunk.size()) < PortfolioReadSize) {
        const int c = getTextChar(file);
        if (c == EOF)
            break;
        chunk.push_back(static_cast<char>(c));
        if (c == '\n')
            break;
    }
    if (chunk.empty())
        return false;
    if (endsLine)
        *endsLine = chunk.back() == '\n';
    chunk.resize(std::strlen(chunk.c_str()));
    return true;
}

void dropLineEnd(std::string& chunk) {
    if (chunk.empty() || chunk.back() != '\n')
        return;
    chunk.pop_back();
    if (!chunk.empty() && chunk.back() == ' ')
        chunk.pop_back();
}

OwnedFile openPortfolio(const char* path, std::string* why) {
    // Without blocking: a FIFO or a device must never hold the load; only a regular file is read.
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        *why = systemErrorText(errno);
        return nullptr;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        return refuse(fd, why, systemErrorText(errno));
    if (S_ISDIR(status.st_mode))
        return refuse(fd, why, systemErrorText(EISDIR));
    if (!S_ISREG(status.st_mode))
        return refuse(fd, why, "Not a regular file");

    std::string text;
    if (!readInto(fd, text, TextCheckSize))
        return refuse(fd, why, systemErrorText(errno));
    const bool utf8Bom = text.starts_with("\xEF\xBB\xBF");
    const bool utf16Le = text.starts_with("\xFF\xFE"), utf16Be = text.starts_with("\xFE\xFF");
    const bool marked = utf8Bom || utf16Le || utf16Be;
    if (marked) {
        if (!readInto(fd, text, std::string::npos))
            return refuse(fd, why, systemErrorText(errno));
        text.erase(0, utf8Bom ? 3 : 2);
        if (!utf8Bom)
            text = utf8FromUtf16(text, utf16Le ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
    }
    if (std::memchr(text.data(), '\0', std::min(text.size(), TextCheckSize)))
        return refuse(fd, why, "Not a text file (it holds a NUL byte)");
    if (marked) {
        ::close(fd);
        OwnedFile file = memoryFile(text);
        if (!file)
            *why = systemErrorText(errno);
        return file;
    }
    // Plain bytes are read as they are, from the file itself.
    OwnedFile file(::lseek(fd, 0, SEEK_SET) == 0 ? ::fdopen(fd, "r") : nullptr);
    if (!file)
        return refuse(fd, why, systemErrorText(errno));
    return file;
}

int readPortfolioSymbols(FILE* file, char (*symbolSlots)[SymbolSlotSize], int* lengths) {
    std::memset(symbolSlots, 0, sizeof(symbolSlots[0]) * LoadCapacity);
    int count = 0;
    std::string line;
    while (count < QuoteTableCapacity && readPortfolioChunk(file, line)) {
        dropLineEnd(line);
        storeSymbol(line, symbolSlots[count]);
        lengths[count] = static_cast<int>(line.size());
        ++count;
    }
    return count;
}

PortfolioListing listPortfolio(FILE* file) {
    std::rewind(file);
    PortfolioListing listing;
    int line = 1; // the file's line where the next read starts
    std::string chunk;
    bool endsLine = false;
    while (readPortfolioChunk(file, chunk, &endsLine)) {
        dropLineEnd(chunk);
        if (listing.blankLine == 0 && chunk.empty())
            listing.blankLine = line;
        else if (listing.blankLine == 0)
            ++listing.listed;
        else if (!chunk.empty())
            ++listing.belowBlank;
        line += endsLine ? 1 : 0;
    }
    return listing;
}

std::string dataFileName(const std::string& portfolio, const char* suffix) {
    // Only the file's own name is cut, so the data file always lands beside its portfolio.
    const std::size_t slash = portfolio.rfind('/');
    const std::size_t nameLength = slash == std::string::npos ? portfolio.size() : portfolio.size() - slash - 1;
    if (nameLength < 4)
        return portfolio + suffix;
    return portfolio.substr(0, portfolio.size() - 4) + suffix;
}
