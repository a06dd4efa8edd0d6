#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

namespace vusk {

// Writes every byte or says why not. Some devices report success after writing
// only part of what they were given (a full disk), so the count is checked.
bool writeAll(QIODevice &device, const QByteArray &bytes, QString *error);

// Replaces the file at path with the bytes, all or nothing: the former file stays
// intact unless every byte reached the disk. Returns false with the reason.
bool saveFileAtomically(const QString &path, const QByteArray &bytes, QString *error);

} // namespace vusk
