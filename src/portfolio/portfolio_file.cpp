#include "portfolio/portfolio_file.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "load/core/portfolio_rules.h"
#include "portfolio/core/editor_rules.h"

namespace {
// A portfolio line as the editor shows it: UTF-8 (a UTF-16 file reads as UTF-8), or Latin-1 for
// a file written before.
QString editorText(const std::string& line) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(QByteArrayView(line.data(), static_cast<qsizetype>(line.size())));
    return utf8.hasError() ? QString::fromLatin1(line.c_str()) : text;
}
} // namespace

bool readPortfolioLines(const QString& path, QStringList& lines, QString* why) {
    std::string reason;
    const OwnedFile file = openPortfolio(QFile::encodeName(path).constData(), &reason);
    if (!file) {
        *why = QString::fromLocal8Bit(reason.c_str());
        return false;
    }
    lines.clear();
    for (const std::string& line : readPortfolioForEditor(file.get()))
        lines << editorText(line);
    return true;
}

bool writePortfolioLines(const QString& path, const QStringList& lines, QString* why) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *why = file.errorString();
        return false;
    }
    bool written = true;
    for (const QString& line : lines) {
        const QByteArray bytes = line.toUtf8() + '\n';
        written = written && file.write(bytes) == bytes.size();
    }
    // Flushed here, since this Qt's commit() does not notice a flush that fails: a short
    // write would otherwise still replace the portfolio.
    if (!written || !file.flush()) {
        *why = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *why = file.errorString();
        return false;
    }
    return true;
}
