#include "portfolio/core/portfolio_rules.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {

constexpr int OverlongKeptCharacters = SymbolSlotSize - 2; // room for the '~' mark and the NUL

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

// fgets with an 80-byte buffer: at most 79 characters, up to and including a newline.
// Returns the characters read (up to the first NUL, as a C string holds them); false at end of file.
bool readChunk(FILE* file, std::string& chunk) {
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
    chunk.resize(std::strlen(chunk.c_str()));
    return true;
}

// A read that ends in a newline loses it, and then one blank directly before it.
void dropLineEnd(std::string& chunk) {
    if (chunk.empty() || chunk.back() != '\n')
        return;
    chunk.pop_back();
    if (!chunk.empty() && chunk.back() == ' ')
        chunk.pop_back();
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

FILE* openPortfolio(const char* path) {
    FILE* file = std::fopen(path, "r");
    struct stat status {};
    if (file && ::fstat(fileno(file), &status) == 0 && S_ISDIR(status.st_mode)) {
        std::fclose(file);
        errno = EISDIR;
        return nullptr;
    }
    return file;
}

int readPortfolioSymbols(FILE* file, char (*slots)[SymbolSlotSize], int* lengths) {
    std::memset(slots, 0, sizeof(slots[0]) * LoadCapacity);
    int count = 0;
    std::string line;
    while (count < QuoteTableCapacity && readChunk(file, line)) {
        dropLineEnd(line);
        storeSymbol(line, slots[count]);
        lengths[count] = static_cast<int>(line.size());
        ++count;
    }
    return count;
}

int listedSymbolCount(FILE* file, const char (*slots)[SymbolSlotSize], int stored) {
    for (int i = 0; i < stored; ++i) {
        if (slots[i][0] == '\0')
            return i;
    }
    int count = stored;
    std::string line;
    while (readChunk(file, line)) {
        dropLineEnd(line);
        if (line.empty())
            break;
        ++count;
    }
    return count;
}

std::vector<std::string> readPortfolioForEditor(FILE* file) {
    std::vector<std::string> lines;
    std::string line;
    while (readChunk(file, line)) {
        if (!line.empty() && (line.front() == ' ' || line.front() == '\n'))
            continue;
        dropLineEnd(line);
        lines.push_back(line);
    }
    return lines;
}

std::string dataFileName(const std::string& portfolio, const char* suffix) {
    if (portfolio.size() < 4)
        return portfolio + suffix;
    return portfolio.substr(0, portfolio.size() - 4) + suffix;
}
