#pragma once
// --record: every request received, byte for byte, appended to a file for tests to read.
#include <QByteArrayView>
#include <QString>

class RequestLog {
public:
    explicit RequestLog(QString path) : path_(std::move(path)) {}

    // Appends the raw bytes, then a line "----" (after a line feed of its own when the
    // bytes do not end in one, which only an incomplete request does).
    void append(QByteArrayView raw) const;

private:
    QString path_;
};
