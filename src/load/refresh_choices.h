#pragma once
// The items of the two "Refresh Time" boxes and the timer interval each one selects.

struct RefreshChoice {
    const char* text;
    int intervalMs;
};

inline constexpr RefreshChoice QuotesRefreshChoices[] = {
    {"2 minutes", 120000},   {"5 minutes", 300000},   {"10 minutes", 600000},  {"15 minutes", 900000},
    {"20 minutes", 1200000}, {"30 minutes", 1800000}, {"45 minutes", 2700000}, {"60 minutes", 3600000}};

inline constexpr RefreshChoice RealTimeRefreshChoices[] = {
    {"30 seconds", 30000},  {"1 minute", 60000},    {"2 minutes", 120000},  {"5 minutes", 300000},
    {"10 minutes", 600000}, {"15 minutes", 900000}, {"20 minutes", 1200000}};
