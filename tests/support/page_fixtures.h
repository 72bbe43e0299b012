#pragma once
// What the page tests build their cases from: sample pages from tests/data, the symbols of a
// load's batch, and lines laid out by column.
#include <QByteArray>
#include <QList>
#include <utility>

#include "parsing/symbol_table.h"

// The bytes of tests/data/<name>; the test stops when the file is missing.
QByteArray samplePage(const char* name);

// Puts the symbols into the table's slots of the batch (lengths as typed unless given) and
// empties the rest of the batch.
void setBatch(SymbolTable& table, int batch, const QList<QByteArray>& symbols, const QList<int>& lengths = {});

// A line of the given length with each text at its column, blanks elsewhere.
QByteArray placed(int length, const QList<std::pair<int, QByteArray>>& texts);
