#include "sources/quote_source.h"

namespace {

QByteArray statusField(const QString& text) {
    QString field = text;
    for (QChar& c : field) {
        if (c == '\t' || c == '\r' || c == '\n') // they would break the line or its fields
            c = ' ';
    }
    return field.isEmpty() ? QByteArray("-") : field.toUtf8();
}

QByteArray statusTime(const QDateTime& moment) {
    return moment.isValid() ? moment.toUTC().toString(Qt::ISODate).toLatin1() : QByteArray("-");
}

} // namespace

QByteArray statusLine(const SourceStatus& s) {
    const QByteArray symbols = s.symbols < 0 ? QByteArray("-") : QByteArray::number(s.symbols);
    return QByteArrayList{
               statusField(s.name),      s.kind, s.state, symbols, statusTime(s.lastSuccess), statusField(s.lastError),
               statusTime(s.nextRefresh)}
               .join('\t') +
           '\n';
}
