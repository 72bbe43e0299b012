#include "support/page_fixtures.h"

#include <QFile>
#include <QtGlobal>
#include <algorithm>
#include <cstring>

QByteArray samplePage(const char* name) {
    QFile file(QStringLiteral(TICKWELL_TEST_DATA "/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing sample page %s", name);
    return file.readAll();
}

void setBatch(SymbolTable& table, int batch, const QList<QByteArray>& symbols, const QList<int>& lengths) {
    table.batch = batch;
    for (int i = 0; i < SymbolsPerBatch; ++i) {
        const int k = batch * SymbolsPerBatch + i;
        std::memset(table.symbols[k], 0, SymbolSlotSize);
        table.lengths[k] = 0;
        if (i < symbols.size()) {
            std::memcpy(table.symbols[k], symbols[i].constData(),
                        static_cast<size_t>(std::min<qsizetype>(symbols[i].size(), SymbolSlotSize - 1)));
            table.lengths[k] = i < lengths.size() ? lengths[i] : static_cast<int>(symbols[i].size());
        }
    }
}

QByteArray placed(int length, const QList<std::pair<int, QByteArray>>& texts) {
    QByteArray line(length, ' ');
    for (const auto& [column, text] : texts)
        line.replace(column, text.size(), text);
    return line;
}
