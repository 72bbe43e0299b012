#pragma once
// How the Portfolios tab's editor reads a portfolio, which differs from how a load reads it.
#include <cstdio>
#include <string>
#include <vector>

// Reads that begin with a blank or a newline are dropped; otherwise the newline and one blank
// before it are removed.
std::vector<std::string> readPortfolioForEditor(FILE* file);
