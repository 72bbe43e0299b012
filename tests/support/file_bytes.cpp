#include "support/file_bytes.h"

#include <QFile>

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool writeFileBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

OwnedFile streamOf(const QByteArray& bytes) {
    OwnedFile file(std::tmpfile());
    if (file) {
        std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), file.get());
        std::rewind(file.get());
    }
    return file;
}
