#include "http/request_log.h"

#include <QFile>

void RequestLog::append(QByteArrayView raw) const {
    if (path_.isEmpty())
        return;
    QFile file(path_);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    file.write(raw.data(), raw.size());
    if (!raw.endsWith('\n'))
        file.write("\n");
    file.write("----\n");
}
