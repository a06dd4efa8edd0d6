#pragma once

#include <QString>

class QFile;
class QFileDevice;

namespace vusk {

// Opens path for reading only if it is a regular file (or a link to one). A pipe or
// a device is refused without ever being opened for real, so nothing can block
// the caller. On failure the file stays closed and *error says why, in words a
// user understands, with the system's own reason in brackets.
bool openRegularFileForReading(QFile &file, const QString &path, QString *error);

// True when both paths name the same file on disk, however each is spelt: through
// a link, a relative path or another hard link.
bool isSameFile(const QString &a, const QString &b);

// True when path names the file that `open` holds open, whatever names it has now:
// a file renamed after it was opened is still recognised under its new name.
bool isSameFile(const QString &path, const QFileDevice &open);

} // namespace vusk
