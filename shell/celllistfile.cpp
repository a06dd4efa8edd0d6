#include "celllistfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QStorageInfo>

#include <utility>

#ifdef Q_OS_UNIX
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef Q_OS_LINUX
#include <sys/xattr.h>
#endif
#else
#include <QSaveFile>
#endif

namespace vusk {

namespace {

const QString notRegularFile = QStringLiteral("это не обычный файл");
const QString folderNotFile = QStringLiteral("это папка, а не файл");

QString withSystemReason(const QString &reason, const QString &system)
{
    return system.isEmpty() ? reason : QStringLiteral("%1 (%2)").arg(reason, system);
}

// Why saving failed, in words a user understands: told apart by looking at the
// folder and the disk afterwards, since the system's own reason may be a bare byte
// count or "Unknown error". opened tells whether the file to write could be opened
// or made at all.
QString saveFailureReason(const QString &path, qint64 bytesNeeded, bool opened,
                          const QString &systemReason, bool nameTooLong = false)
{
    const QFileInfo target(path);
    const QFileInfo folder(target.absolutePath());
    const QStorageInfo disk(folder.absoluteFilePath());
    QString reason;
    if (nameTooLong)
        reason = QStringLiteral("слишком длинное имя файла");
    else if (!folder.isDir())
        reason = QStringLiteral("папка не найдена");
    else if (disk.isReadOnly())
        reason = QStringLiteral("диск доступен только для чтения");
    else if (target.exists() && !target.isWritable())
        reason = QStringLiteral("файл защищён от записи");
    else if (!folder.isWritable() && (!target.exists() || !opened))
        reason = QStringLiteral("нет прав на запись в папку");
    else if (!opened)
        reason = target.exists() ? QStringLiteral("файл не открывается для записи")
                                 : QStringLiteral("файл не удаётся создать");
    else if (disk.bytesAvailable() < bytesNeeded)
        reason = QStringLiteral("на диске не хватает места");
    else
        reason = QStringLiteral("ошибка записи на диск");
    return withSystemReason(reason, systemReason);
}

bool runStep(const QString &, const std::function<bool(QString *)> &step, QString *error)
{
    return step(error);
}

CommitStep commitStep = runStep;

#ifdef Q_OS_UNIX

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString failure(const QString &path, qint64 bytesNeeded, bool opened, int error)
{
    return saveFailureReason(path, bytesNeeded, opened, systemReason(error), error == ENAMETOOLONG);
}

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

// What a save writes to: the file itself, links followed, and what it was before.
struct Target
{
    QString path;
    bool exists = false;
    struct stat former = {};
};

bool findTarget(const QString &path, Target *target, QString *error)
{
    if (::stat(encoded(path).constData(), &target->former) == 0) {
        if (!S_ISREG(target->former.st_mode)) {
            *error = S_ISDIR(target->former.st_mode) ? folderNotFile : notRegularFile;
            return false;
        }
        // A new file could take the place of one the user may not write to.
        if (::faccessat(AT_FDCWD, encoded(path).constData(), W_OK, AT_EACCESS) != 0) {
            const int accessError = errno;
            *error = accessError == EROFS
                         ? failure(path, 0, false, accessError)
                         : withSystemReason(QStringLiteral("файл защищён от записи"),
                                            systemReason(accessError));
            return false;
        }
        target->exists = true;
        target->path = QFileInfo(path).canonicalFilePath();
        if (target->path.isEmpty())
            target->path = path;
        return true;
    }
    const int statError = errno;
    if (statError == ELOOP) { // links that point at each other
        *error = notRegularFile;
        return false;
    }
    if (statError == ENAMETOOLONG) {
        *error = failure(path, 0, false, statError);
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

bool writeFully(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size_t(std::min<qint64>(size, 1 << 30)));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC;
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

// Appends everything `from` holds, from its start, to `to`.
bool copyContents(int from, int to)
{
    QByteArray buffer(1 << 16, Qt::Uninitialized);
    for (off_t offset = 0;;) {
        const ssize_t got = ::pread(from, buffer.data(), size_t(buffer.size()), offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return got == 0;
        if (!writeFully(to, buffer.constData(), got))
            return false;
        offset += got;
    }
}

// Empties the file and fills it anew; true once the new contents are on the disk.
template <typename Fill> bool rewrite(int fd, Fill fill, QString *error)
{
    if (::ftruncate(fd, 0) == 0 && ::lseek(fd, 0, SEEK_SET) == 0 && fill() && ::fsync(fd) == 0)
        return true;
    *error = systemReason(errno);
    return false;
}

// So that a name just made or changed in the folder outlasts a power cut.
void syncFolderOf(const QString &file)
{
    const int fd = ::open(encoded(QFileInfo(file).absolutePath()).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// A new, empty file in the folder under a short name of its own: a name made from
// the target's would be too long where the target's is near the system's limit.
int createTemporary(const QString &folder, QString *name)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 64; ++attempt) {
        *name = folder + QStringLiteral("/.vusk-");
        for (int i = 0; i < 6; ++i)
            *name += QLatin1Char(letters[QRandomGenerator::global()->bounded(36)]);
        const int fd =
            ::open(encoded(*name).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// A new file for a copy of the target's former contents: "name~" beside it, or
// "name~2", "name~3"... where the user keeps a "name~" of their own; a short name
// where the target's is too long to take a "~", and the temporary folder where the
// target's own folder takes no new files.
int createBackup(const QString &target, QString *name)
{
    const QFileInfo info(target);
    int fd = -1;
    for (const QString &folder : {info.absolutePath(), QDir::tempPath()}) {
        for (const QString &base : {info.fileName(), QStringLiteral("vusk")}) {
            for (int n = 1; n < 100; ++n) {
                *name = QStringLiteral("%1/%2~%3")
                            .arg(folder, base, n > 1 ? QString::number(n) : QString());
                fd = ::open(encoded(*name).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                            0600);
                if (fd >= 0 || errno != EEXIST)
                    break;
            }
            if (fd >= 0 || errno != ENAMETOOLONG)
                break;
        }
        if (fd >= 0)
            break;
    }
    return fd;
}

bool hasExtendedAttributes(const QString &path)
{
#ifdef Q_OS_LINUX
    return ::listxattr(encoded(path).constData(), nullptr, 0) > 0;
#else
    Q_UNUSED(path);
    return false;
#endif
}

// The new file takes the former one's owner, group and permissions; false where the
// system does not allow it (another owner, a group the user is not in).
bool takeOwnerAndMode(int fd, const struct stat &former)
{
    struct stat now;
    if (::fstat(fd, &now) != 0)
        return false;
    if ((now.st_uid != former.st_uid || now.st_gid != former.st_gid) &&
        ::fchown(fd, former.st_uid, former.st_gid) != 0)
        return false;
    // The system may drop a set-group-ID bit silently.
    return ::fchmod(fd, former.st_mode & 07777) == 0 && ::fstat(fd, &now) == 0 &&
           (now.st_mode & 07777) == (former.st_mode & 07777);
}

// Writes the bytes into the target itself, once a complete copy of its former
// contents is on disk: whatever fails, the former contents stay under one of the two
// names, and the reason says which when it is the copy's.
bool saveInPlace(const Target &target, const QByteArray &bytes, QString *error)
{
    // The copy is made before the file is emptied, and the file then takes the bytes.
    const qint64 needed = std::max<qint64>(target.former.st_size, bytes.size());
    const int file = ::open(encoded(target.path).constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (file < 0) {
        *error = failure(target.path, needed, false, errno);
        return false;
    }
    QString backupName;
    const int backup = createBackup(target.path, &backupName);
    bool copied = backup >= 0 && copyContents(file, backup) && ::fsync(backup) == 0;
    int copyError = errno;
    if (backup >= 0 && ::close(backup) != 0 && copied) {
        copied = false;
        copyError = errno;
    }
    if (!copied) {
        if (backup >= 0)
            ::unlink(encoded(backupName).constData());
        ::close(file);
        *error = backup >= 0
                     ? failure(target.path, needed, true, copyError)
                     : withSystemReason(QStringLiteral("не удаётся создать резервную копию файла"),
                                        systemReason(copyError));
        return false;
    }
    syncFolderOf(backupName);

    const auto writeBytes = [&](QString *why) {
        const auto fill = [&] {
            return writeFully(file, bytes.constData(), bytes.size());
        };
        return rewrite(file, fill, why);
    };
    QString system;
    const bool saved = commitStep(target.path, writeBytes, &system);
    // After a failure the former contents go back, so that the file is as it was.
    const auto putBack = [&](QString *why) {
        const int from = ::open(encoded(backupName).constData(), O_RDONLY | O_CLOEXEC);
        if (from < 0) {
            *why = systemReason(errno);
            return false;
        }
        const bool back = rewrite(
            file, [&] { return copyContents(from, file); }, why);
        ::close(from);
        return back;
    };
    QString ignored;
    const bool restored = !saved && commitStep(target.path, putBack, &ignored);
    ::close(file);
    if (saved || restored)
        ::unlink(encoded(backupName).constData());
    if (saved)
        return true;
    *error = saveFailureReason(target.path, needed, true, system);
    if (!restored)
        *error += QStringLiteral("; прежнее содержимое файла сохранено в %1")
                      .arg(QDir::toNativeSeparators(backupName));
    return false;
}

#endif

} // namespace

CommitStep setCommitStep(CommitStep step)
{
    return std::exchange(commitStep, step ? step : runStep);
}

bool writeAll(QIODevice &device, const QByteArray &bytes, QString *error)
{
    const qint64 written = device.write(bytes);
    if (written == bytes.size())
        return true;
    *error = written < 0 ? device.errorString()
                         : QStringLiteral("%1 of %2 bytes written").arg(written).arg(bytes.size());
    return false;
}

#ifdef Q_OS_UNIX

bool checkSaveTarget(const QString &path, QString *error)
{
    Target target;
    return findTarget(path, &target, error);
}

bool saveFileAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    Target target;
    if (!findTarget(path, &target, error))
        return false;
    // A new file in its place would cut the file off from its other names, and could
    // not always be given its extended attributes (access lists, security labels):
    // such a file is written in place.
    bool inPlace =
        target.exists && (target.former.st_nlink > 1 || hasExtendedAttributes(target.path));
    QString temporary;
    int fd = -1;
    if (!inPlace) {
        fd = createTemporary(QFileInfo(target.path).absolutePath(), &temporary);
        if (fd < 0 && !target.exists) {
            *error = failure(target.path, bytes.size(), false, errno);
            return false;
        }
        // A folder the user may not write to can hold a file they may; a file of
        // another owner or group keeps them only if written in place.
        if (fd >= 0 && target.exists && !takeOwnerAndMode(fd, target.former)) {
            ::close(fd);
            ::unlink(encoded(temporary).constData());
            fd = -1;
        }
        inPlace = fd < 0;
    }
    if (inPlace)
        return saveInPlace(target, bytes, error);

    // On the disk before it takes the former file's place, so that a power cut
    // leaves one of the two whole.
    bool written = writeFully(fd, bytes.constData(), bytes.size()) && ::fsync(fd) == 0;
    int writeError = errno;
    if (::close(fd) != 0 && written) {
        written = false;
        writeError = errno;
    }
    const auto renameOver = [&](QString *why) {
        if (::rename(encoded(temporary).constData(), encoded(target.path).constData()) == 0)
            return true;
        *why = systemReason(errno);
        return false;
    };
    QString system;
    if (!written || !commitStep(target.path, renameOver, &system)) {
        ::unlink(encoded(temporary).constData());
        *error = written ? saveFailureReason(target.path, bytes.size(), true, system)
                         : failure(target.path, bytes.size(), true, writeError);
        return false;
    }
    syncFolderOf(target.path);
    return true;
}

#else

bool checkSaveTarget(const QString &path, QString *error)
{
    // The save renames a new file over the old one, which would put a regular file
    // in place of a device, or of a file the user may not write to.
    const QFileInfo target(path);
    if (target.exists() && !target.isFile()) {
        *error = target.isDir() ? folderNotFile : notRegularFile;
        return false;
    }
    if (target.exists() && !target.isWritable()) {
        *error = saveFailureReason(path, 0, false, {});
        return false;
    }
    return true;
}

bool saveFileAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    if (!checkSaveTarget(path, error))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = saveFailureReason(path, bytes.size(), false, file.errorString());
        return false;
    }
    // flush() makes a full disk show itself before commit() could report success.
    QString reason;
    if (!writeAll(file, bytes, &reason) || !file.flush()) {
        const QString system = reason.isEmpty() ? file.errorString() : reason;
        file.cancelWriting();
        *error = saveFailureReason(path, bytes.size(), true, system);
        return false;
    }
    const auto commit = [&file](QString *why) {
        if (file.commit())
            return true;
        *why = file.errorString();
        return false;
    };
    QString system;
    if (!commitStep(path, commit, &system)) {
        *error = saveFailureReason(path, bytes.size(), true, system);
        return false;
    }
    return true;
}

#endif

} // namespace vusk
