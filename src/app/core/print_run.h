#pragma once
// tickwell --print: the window's load of a portfolio, once or every few seconds, with a view
// that prints its rows for scripts and terminals. Qt Core only: it needs no display and never
// makes a widget.
#include <QString>

#include "net/core/server_address.h"

struct PrintRequest {
    enum class Format { Table, Csv, Json };
    QString portfolioPath; // absolute
    ServerAddress server;
    bool realTime = false;
    Format format = Format::Csv;
    bool colour = false;  // table rows up in green, down in red
    int watchSeconds = 0; // 0: one load
};

// The portfolio --print loads when none is named: the one the Quotes tab would load.
QString defaultPrintPortfolio();

// Runs under a QCoreApplication. Returns 0 when the load ended normally, 1 when it did not;
// with watchSeconds it loads again and again until the process is stopped.
int runPrint(const PrintRequest& request);
