#pragma once
// Files as bytes, for tests that check what the program wrote or left alone.
#include <QByteArray>
#include <QString>

#include "platform/core/owned_file.h"

// The file's bytes, or "<missing>" when it cannot be read.
QByteArray fileBytes(const QString& path);
// Writes the bytes as the whole file; false when it cannot be written.
bool writeFileBytes(const QString& path, const QByteArray& bytes);
// A stream holding the bytes as they are on disk, read from its start; null when none can be made.
OwnedFile streamOf(const QByteArray& bytes);
