#include "fileaccess.h"

#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <cstring>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QDir>
#include <io.h>
#include <windows.h>
#endif

namespace vusk {

QString reasonText(FileProblem problem, const QString &systemReason)
{
    QString text;
    switch (problem) {
    case FileProblem::NotFound:
        text = QStringLiteral("файл не найден");
        break;
    case FileProblem::FolderNotFound:
        text = QStringLiteral("папка не найдена");
        break;
    case FileProblem::Folder:
        text = QStringLiteral("это папка, а не файл");
        break;
    case FileProblem::NotRegularFile:
        text = QStringLiteral("это не обычный файл");
        break;
    case FileProblem::NameTooLong:
        text = QStringLiteral("слишком длинное имя файла");
        break;
    case FileProblem::NoRightToRead:
        text = QStringLiteral("нет прав на чтение файла");
        break;
    case FileProblem::CannotOpen:
        text = QStringLiteral("файл не открывается");
        break;
    case FileProblem::ReadOnlyDisk:
        text = QStringLiteral("диск доступен только для чтения");
        break;
    case FileProblem::WriteProtected:
        text = QStringLiteral("файл защищён от записи");
        break;
    case FileProblem::NoRightToWriteFolder:
        text = QStringLiteral("нет прав на запись в папку");
        break;
    case FileProblem::CannotOpenForWriting:
        text = QStringLiteral("файл не открывается для записи");
        break;
    case FileProblem::CannotCreate:
        text = QStringLiteral("файл не удаётся создать");
        break;
    case FileProblem::DiskFull:
        text = QStringLiteral("на диске не хватает места");
        break;
    case FileProblem::WriteFailed:
        text = QStringLiteral("ошибка записи на диск");
        break;
    case FileProblem::BackupFailed:
        text = QStringLiteral("не удаётся создать резервную копию файла");
        break;
    }
    return systemReason.isEmpty() ? text : QStringLiteral("%1 (%2)").arg(text, systemReason);
}

QString systemReasonText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString saveFailureReason(const QString &path, qint64 bytesNeeded, bool opened,
                          const QString &systemReason, bool nameTooLong)
{
    const QFileInfo target(path);
    const QFileInfo folder(target.absolutePath());
    const QStorageInfo disk(folder.absoluteFilePath());
    FileProblem problem = FileProblem::WriteFailed;
    if (nameTooLong)
        problem = FileProblem::NameTooLong;
    else if (!folder.isDir())
        problem = FileProblem::FolderNotFound;
    else if (disk.isReadOnly())
        problem = FileProblem::ReadOnlyDisk;
    else if (target.exists() && !target.isWritable())
        problem = FileProblem::WriteProtected;
    else if (!folder.isWritable() && (!target.exists() || !opened))
        problem = FileProblem::NoRightToWriteFolder;
    else if (!opened)
        problem = target.exists() ? FileProblem::CannotOpenForWriting : FileProblem::CannotCreate;
    else if (disk.bytesAvailable() < bytesNeeded)
        problem = FileProblem::DiskFull;
    return reasonText(problem, systemReason);
}

bool checkSaveTarget(const QString &path, QString *error)
{
    SaveTarget target;
    return findSaveTarget(path, &target, error);
}

#ifdef Q_OS_UNIX

namespace {

FileProblem openProblem(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return FileProblem::NotFound;
    case EACCES:
    case EPERM:
        return FileProblem::NoRightToRead;
    case EISDIR:
        return FileProblem::Folder;
    case ENAMETOOLONG:
        return FileProblem::NameTooLong;
    default:
        return FileProblem::CannotOpen;
    }
}

// Whatever is not a regular file is refused: a folder, a pipe, a device.
bool isRegularFile(const struct stat &info, QString *error)
{
    if (S_ISREG(info.st_mode))
        return true;
    *error = reasonText(S_ISDIR(info.st_mode) ? FileProblem::Folder : FileProblem::NotRegularFile);
    return false;
}

} // namespace

bool openRegularFileForReading(QFile &file, const QString &path, QString *error)
{
    // O_NONBLOCK: opening a pipe with no writer would otherwise wait for one forever.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int openError = errno;
        *error = reasonText(openProblem(openError), systemReasonText(openError));
        return false;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0) {
        ::close(fd);
        *error = reasonText(FileProblem::NotRegularFile);
        return false;
    }
    if (!isRegularFile(info, error)) {
        ::close(fd);
        return false;
    }
    // Regular files never block; reads from here on are ordinary ones.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        *error = reasonText(FileProblem::CannotOpen, file.errorString());
        return false;
    }
    return true;
}

bool findSaveTarget(const QString &path, SaveTarget *target, QString *error)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info;
    if (::stat(name.constData(), &info) == 0) {
        if (!isRegularFile(info, error))
            return false;
        // A new file could take the place of one the user may not write to.
        if (::faccessat(AT_FDCWD, name.constData(), W_OK, AT_EACCESS) != 0) {
            const int accessError = errno;
            *error = accessError == EROFS
                         ? saveFailureReason(path, 0, false, systemReasonText(accessError))
                         : reasonText(FileProblem::WriteProtected, systemReasonText(accessError));
            return false;
        }
        target->exists = true;
        target->path = QFileInfo(path).canonicalFilePath();
        if (target->path.isEmpty())
            target->path = path;
        target->size = info.st_size;
        target->owner = info.st_uid;
        target->group = info.st_gid;
        target->permissions = info.st_mode & 07777;
        target->names = uint(info.st_nlink);
        return true;
    }
    const int statError = errno;
    if (statError == ELOOP) { // links that point at each other
        *error = reasonText(FileProblem::NotRegularFile);
        return false;
    }
    if (statError == ENAMETOOLONG) {
        *error = reasonText(FileProblem::NameTooLong, systemReasonText(statError));
        return false;
    }
    // A missing file, or a link to one, which is then made; anything else is told
    // when the file cannot be written.
    QFileInfo last(path);
    for (int depth = 0; depth < 40 && last.isSymLink(); ++depth)
        last.setFile(last.symLinkTarget());
    target->path = last.filePath();
    return true;
}

bool isSameFile(const QString &a, const QString &b)
{
    struct stat first;
    struct stat second;
    return ::stat(QFile::encodeName(a).constData(), &first) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool isSameFile(const QString &path, const QFileDevice &open)
{
    struct stat named;
    struct stat held;
    return open.isOpen() && ::fstat(open.handle(), &held) == 0 &&
           ::stat(QFile::encodeName(path).constData(), &named) == 0 &&
           named.st_dev == held.st_dev && named.st_ino == held.st_ino;
}

#else

namespace {

// Whatever is not a regular file is refused: a folder, a device.
bool isRegularFile(const QFileInfo &info, QString *error)
{
    if (info.isFile())
        return true;
    *error = reasonText(info.isDir() ? FileProblem::Folder : FileProblem::NotRegularFile);
    return false;
}

} // namespace

bool openRegularFileForReading(QFile &file, const QString &path, QString *error)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        *error = reasonText(FileProblem::NotFound);
        return false;
    }
    if (!isRegularFile(info, error))
        return false;
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = reasonText(FileProblem::CannotOpen, file.errorString());
        return false;
    }
    return true;
}

bool findSaveTarget(const QString &path, SaveTarget *target, QString *error)
{
    // The save renames a new file over the old one, which would put a regular file
    // in place of a device, or of a file the user may not write to.
    const QFileInfo info(path);
    target->path = path;
    target->exists = info.exists();
    if (!target->exists)
        return true;
    if (!isRegularFile(info, error))
        return false;
    if (!info.isWritable()) {
        *error = saveFailureReason(path, 0, false, {});
        return false;
    }
    target->size = info.size();
    return true;
}

bool isSameFile(const QString &a, const QString &b)
{
    const QString first = QFileInfo(a).canonicalFilePath();
    return !first.isEmpty() &&
           first.compare(QFileInfo(b).canonicalFilePath(), Qt::CaseInsensitive) == 0;
}

bool isSameFile(const QString &path, const QFileDevice &open)
{
    BY_HANDLE_FILE_INFORMATION held;
    BY_HANDLE_FILE_INFORMATION named;
    if (!open.isOpen() ||
        !GetFileInformationByHandle(reinterpret_cast<HANDLE>(_get_osfhandle(open.handle())), &held))
        return false;
    const QString native = QDir::toNativeSeparators(path);
    // No access asked for: this only looks at which file the name leads to.
    const HANDLE file = CreateFileW(reinterpret_cast<const wchar_t *>(native.utf16()), 0,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool known = GetFileInformationByHandle(file, &named);
    CloseHandle(file);
    return known && named.dwVolumeSerialNumber == held.dwVolumeSerialNumber &&
           named.nFileIndexHigh == held.nFileIndexHigh && named.nFileIndexLow == held.nFileIndexLow;
}

#endif

} // namespace vusk
