#include "fileaccess.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QDir>
#include <io.h>
#include <windows.h>
#endif

namespace vusk {

namespace {

const QString notRegularFile = QStringLiteral("это не обычный файл");

QString withSystemReason(const QString &reason, const QString &system)
{
    return system.isEmpty() ? reason : QStringLiteral("%1 (%2)").arg(reason, system);
}

#ifdef Q_OS_UNIX
QString openFailureReason(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("файл не найден");
    case EACCES:
    case EPERM:
        return QStringLiteral("нет прав на чтение файла");
    case EISDIR:
        return QStringLiteral("это папка, а не файл");
    case ENAMETOOLONG:
        return QStringLiteral("слишком длинное имя файла");
    default:
        return QStringLiteral("файл не открывается");
    }
}
#endif

} // namespace

#ifdef Q_OS_UNIX

bool openRegularFileForReading(QFile &file, const QString &path, QString *error)
{
    // O_NONBLOCK: opening a pipe with no writer would otherwise wait for one forever.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int openError = errno;
        *error = withSystemReason(openFailureReason(openError),
                                  QString::fromLocal8Bit(std::strerror(openError)));
        return false;
    }
    struct stat info;
    const bool known = ::fstat(fd, &info) == 0;
    if (!known || !S_ISREG(info.st_mode)) {
        ::close(fd);
        *error = known && S_ISDIR(info.st_mode) ? openFailureReason(EISDIR) : notRegularFile;
        return false;
    }
    // Regular files never block; reads from here on are ordinary ones.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        *error = withSystemReason(openFailureReason(0), file.errorString());
        return false;
    }
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

bool openRegularFileForReading(QFile &file, const QString &path, QString *error)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        *error = QStringLiteral("файл не найден");
        return false;
    }
    if (info.isDir()) {
        *error = QStringLiteral("это папка, а не файл");
        return false;
    }
    if (!info.isFile()) {
        *error = notRegularFile;
        return false;
    }
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = withSystemReason(QStringLiteral("файл не открывается"), file.errorString());
        return false;
    }
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
