#include "portfolio/core/editor_rules.h"

#include "load/core/portfolio_rules.h"

std::vector<std::string> readPortfolioForEditor(FILE* file) {
    std::vector<std::string> lines;
    std::string line;
    while (readPortfolioChunk(file, line)) {
        if (!line.empty() && (line.front() == ' ' || line.front() == '\n'))
            continue;
        dropLineEnd(line);
        lines.push_back(line);
    }
    return lines;
}
