#pragma once

#include <QString>

class QFile;
class QFileDevice;

namespace vusk {

// Which files the program may read or replace, whether two names are one file, and
// why not, in words a user understands.

// Why a file cannot be read or saved. reasonText() holds the words for each, so
// reading and saving tell the same thing the same way.
enum class FileProblem
{
    NotFound,
    FolderNotFound,
    Folder,
    NotRegularFile,
    NameTooLong,
    NoRightToRead,
    CannotOpen,
    ReadOnlyDisk,
    WriteProtected,
    NoRightToWriteFolder,
    CannotOpenForWriting,
    CannotCreate,
    DiskFull,
    WriteFailed,
    BackupFailed,
};

// The problem in Russian, the system's own reason (if any) in brackets after it.
QString reasonText(FileProblem problem, const QString &systemReason = {});

// The system's own words for an error number.
QString systemReasonText(int error);

// Opens path for reading only if it is a regular file (or a link to one). A pipe or
// a device is refused without ever being opened for real, so nothing can block
// the caller. On failure the file stays closed and *error says why.
bool openRegularFileForReading(QFile &file, const QString &path, QString *error);

// What a save to a path replaces: the file a link leads to, or the name a new file
// takes, and what the file is now when it exists.
struct SaveTarget
{
    QString path;
    bool exists = false;
    qint64 size = 0;
    // Where files have owners: as the system keeps them.
    uint owner = 0;
    uint group = 0;
    uint permissions = 0;
    uint names = 1; // hard links
};

// Finds what a save to path would write to. False, with the reason, for a folder, a
// pipe, a device, a loop of links, a read-only file or a name too long for the system.
bool findSaveTarget(const QString &path, SaveTarget *target, QString *error);
bool checkSaveTarget(const QString &path, QString *error);

// Why a save to path failed, told apart by looking at the folder and the disk
// afterwards, since the system's own reason may be a bare byte count or "Unknown
// error". opened: whether the file to write could be opened or made at all.
QString saveFailureReason(const QString &path, qint64 bytesNeeded, bool opened,
                          const QString &systemReason, bool nameTooLong = false);

// True when both paths name the same file on disk, however each is spelt: through
// a link, a relative path or another hard link.
bool isSameFile(const QString &a, const QString &b);

// True when path names the file that `open` holds open, whatever names it has now:
// a file renamed after it was opened is still recognised under its new name.
bool isSameFile(const QString &path, const QFileDevice &open);

} // namespace vusk
