#include "portfolio/portfolio_file.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "load/core/portfolio_rules.h"

namespace {
// A portfolio line as the editor shows it: UTF-8 (a UTF-16 file reads as UTF-8), or Latin-1 for
// a file written before.
QString editorText(const std::string& line) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(QByteArrayView(line.data(), static_cast<qsizetype>(line.size())));
    return utf8.hasError() ? QString::fromLatin1(line.c_str()) : text;
}
} // namespace

bool ReadPortfolioLines(const QString& path, QStringList& lines, QString& why) {
    std::string reason;
    FILE* file = openPortfolio(QFile::encodeName(path).constData(), reason);
    if (!file) {
        why = QString::fromLocal8Bit(reason.c_str());
        return false;
    }
    lines.clear();
    for (const std::string& line : readPortfolioForEditor(file))
        lines << editorText(line);
    std::fclose(file);
    return true;
}

QString WritePortfolioLines(const QString& path, const QStringList& lines) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    bool written = true;
    for (const QString& line : lines) {
        const QByteArray bytes = line.toUtf8() + '\n';
        written = written && file.write(bytes) == bytes.size();
    }
    // Flushed here, since this Qt's commit() does not notice a flush that fails: a short
    // write would otherwise still replace the portfolio.
    if (!written || !file.flush()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return why;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}
