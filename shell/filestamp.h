#pragma once

#include <QtGlobal>

#include <optional>

class QFile;

namespace vusk {

// The size and last-write time of a file held open, asked through its handle, so
// that they follow the file itself however its name is moved or replaced.
struct FileStamp
{
    qint64 size = 0;
    qint64 modified = 0; // in the system's own unit: only ever compared

    bool operator==(const FileStamp &) const = default;
};

// nullopt when the file is not open or the system cannot tell.
std::optional<FileStamp> fileStampOf(const QFile &file);

} // namespace vusk
