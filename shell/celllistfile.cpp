#include "celllistfile.h"

#include "fileaccess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#ifdef Q_OS_LINUX
#include <sys/sendfile.h>
#include <sys/xattr.h>
#endif
#else
#include <QRandomGenerator>
#include <algorithm>
#include <string>
#include <windows.h>
#endif

namespace vusk {

namespace {

#ifdef Q_OS_UNIX

QString failure(const QString &path, qint64 bytesNeeded, bool opened, int error)
{
    return saveFailureReason(path, bytesNeeded, opened, systemReasonText(error),
                             error == ENAMETOOLONG);
}

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
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
#ifdef Q_OS_LINUX
    // Copied by the kernel, without a buffer of ours.
    for (off_t offset = 0;;) {
        const ssize_t sent = ::sendfile(to, from, &offset, 1 << 30);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
            return sent == 0;
    }
#else
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
#endif
}

// Empties the file and fills it anew; true once the new contents are on the disk.
template <typename Fill> bool rewrite(int fd, Fill fill, QString *error)
{
    if (::ftruncate(fd, 0) == 0 && ::lseek(fd, 0, SEEK_SET) == 0 && fill() && ::fsync(fd) == 0)
        return true;
    *error = systemReasonText(errno);
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

// A name in the folder for the new file, short and of its own: a name made from the
// target's would be too long where the target's is near the system's limit.
QString temporaryName(const QString &folder)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString name = folder + QStringLiteral("/.vusk-");
    for (int i = 0; i < 6; ++i)
        name += QLatin1Char(letters[QRandomGenerator::global()->bounded(36)]);
    return name;
}

#ifdef O_TMPFILE
// The name through which a file without one can still be linked into a folder.
QByteArray handleName(int fd)
{
    return "/proc/self/fd/" + QByteArray::number(fd);
}
#endif

// The new file a save writes before it takes the target's place. Where the system
// allows, it has no name until it is complete, so that a save cut short by a crash
// leaves nothing behind; elsewhere it is named from the start. Whatever has not
// taken the target's place is gone with it.
class Temporary
{
public:
    explicit Temporary(const QString &folder) : m_folder(folder)
    {
#ifdef O_TMPFILE
        m_fd = ::open(encoded(folder).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (m_fd >= 0 && ::access(handleName(m_fd).constData(), F_OK) == 0)
            return;
        if (m_fd >= 0) { // no way to give it a name later
            ::close(m_fd);
            m_fd = -1;
        } else if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            return; // refused for a reason a named file would meet as well
        }
#endif
        for (int attempt = 0; attempt < 64; ++attempt) {
            const QString name = temporaryName(folder);
            m_fd = ::open(encoded(name).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (m_fd >= 0)
                m_name = name;
            if (m_fd >= 0 || errno != EEXIST)
                return;
        }
    }
    ~Temporary()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_name.isEmpty())
            ::unlink(encoded(m_name).constData());
    }
    Temporary(const Temporary &) = delete;
    Temporary &operator=(const Temporary &) = delete;

    int fd() const
    {
        return m_fd;
    }

    // Puts the file in the target's place; false with the system's reason.
    bool replace(const QString &target, QString *why)
    {
#ifdef O_TMPFILE
        // A link cannot take the place of a name that exists: the file is linked
        // under a short name first, which then is renamed over the target.
        for (int attempt = 0; m_name.isEmpty() && attempt < 64; ++attempt) {
            const QString name = temporaryName(m_folder);
            if (::linkat(AT_FDCWD, handleName(m_fd).constData(), AT_FDCWD,
                         encoded(name).constData(), AT_SYMLINK_FOLLOW) == 0)
                m_name = name;
            else if (errno != EEXIST)
                break;
        }
        if (m_name.isEmpty()) {
            *why = systemReasonText(errno);
            return false;
        }
#endif
        if (::rename(encoded(m_name).constData(), encoded(target).constData()) != 0) {
            *why = systemReasonText(errno);
            return false;
        }
        m_name.clear();
        return true;
    }

private:
    QString m_folder;
    QString m_name; // empty while the file has none
    int m_fd = -1;
};

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
bool takeOwnerAndMode(int fd, const SaveTarget &former)
{
    struct stat now;
    if (::fstat(fd, &now) != 0)
        return false;
    if ((now.st_uid != former.owner || now.st_gid != former.group) &&
        ::fchown(fd, former.owner, former.group) != 0)
        return false;
    // The system may drop a set-group-ID bit silently.
    return ::fchmod(fd, former.permissions) == 0 && ::fstat(fd, &now) == 0 &&
           (now.st_mode & 07777) == former.permissions;
}

// Writes the bytes into the target itself, once a complete copy of its former
// contents is on disk: whatever fails, the former contents stay under one of the two
// names, and the reason says which when it is the copy's.
bool saveInPlace(const SaveTarget &target, const QByteArray &bytes, const CommitStep &commit,
                 QString *error)
{
    // The copy is made before the file is emptied, and the file then takes the bytes.
    const qint64 needed = std::max<qint64>(target.size, bytes.size());
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
        *error = backup >= 0 ? failure(target.path, needed, true, copyError)
                             : reasonText(FileProblem::BackupFailed, systemReasonText(copyError));
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
    const bool saved = commit(target.path, writeBytes, &system);
    // After a failure the former contents go back, so that the file is as it was.
    const auto putBack = [&](QString *why) {
        const int from = ::open(encoded(backupName).constData(), O_RDONLY | O_CLOEXEC);
        if (from < 0) {
            *why = systemReasonText(errno);
            return false;
        }
        const bool back = rewrite(
            file, [&] { return copyContents(from, file); }, why);
        ::close(from);
        return back;
    };
    QString ignored;
    const bool restored = !saved && commit(target.path, putBack, &ignored);
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

bool commitDirectly(const QString &, const std::function<bool(QString *)> &step, QString *error)
{
    return step(error);
}

#ifdef Q_OS_UNIX

bool saveFileAtomically(const QString &path, const QByteArray &bytes, QString *error,
                        const CommitStep &commit)
{
    SaveTarget target;
    if (!findSaveTarget(path, &target, error))
        return false;
    // A new file in its place would cut the file off from its other names, and could
    // not always be given its extended attributes (access lists, security labels):
    // such a file is written in place.
    if (target.exists && (target.names > 1 || hasExtendedAttributes(target.path)))
        return saveInPlace(target, bytes, commit, error);
    std::optional<Temporary> file;
    file.emplace(QFileInfo(target.path).absolutePath());
    if (file->fd() < 0 && !target.exists) {
        *error = failure(target.path, bytes.size(), false, errno);
        return false;
    }
    // A folder the user may not write to can hold a file they may; a file of
    // another owner or group keeps them only if written in place.
    if (file->fd() < 0 || (target.exists && !takeOwnerAndMode(file->fd(), target))) {
        file.reset();
        return saveInPlace(target, bytes, commit, error);
    }

    // On the disk before it takes the former file's place, so that a power cut
    // leaves one of the two whole.
    if (!writeFully(file->fd(), bytes.constData(), bytes.size()) || ::fsync(file->fd()) != 0) {
        *error = failure(target.path, bytes.size(), true, errno);
        return false;
    }
    const auto replace = [&](QString *why) {
        return file->replace(target.path, why);
    };
    QString system;
    if (!commit(target.path, replace, &system)) {
        *error = saveFailureReason(target.path, bytes.size(), true, system);
        return false;
    }
    syncFolderOf(target.path);
    return true;
}

#else

// The new file gets a short name of its own in the target's folder (one made from the
// target's name would be too long near the system's limit), is written and flushed to
// the disk, and then takes the target's place: ReplaceFile keeps the former file's
// attributes and security.
bool saveFileAtomically(const QString &path, const QByteArray &bytes, QString *error,
                        const CommitStep &commit)
{
    if (!checkSaveTarget(path, error))
        return false;
    const QFileInfo info(path);
    const bool existed = info.exists();
    const QString target = existed ? info.canonicalFilePath() : info.absoluteFilePath();
    const auto nativeName = [](const QString &name) {
        return QDir::toNativeSeparators(name).toStdWString();
    };
    std::wstring temporary;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 64 && file == INVALID_HANDLE_VALUE; ++attempt) {
        temporary =
            nativeName(QStringLiteral("%1/vusk-%2.tmp")
                           .arg(QFileInfo(target).absolutePath())
                           .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
        file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS)
            break;
    }
    if (file == INVALID_HANDLE_VALUE) {
        *error = saveFailureReason(target, bytes.size(), false, qt_error_string());
        return false;
    }
    // Flushed to the disk itself, so that a full disk shows before the file is replaced.
    qint64 done = 0;
    DWORD written = 0;
    while (done < bytes.size() &&
           WriteFile(file, bytes.constData() + done,
                     DWORD(std::min<qint64>(bytes.size() - done, 1 << 30)), &written, nullptr) &&
           written > 0)
        done += written;
    const bool complete = done == bytes.size() && FlushFileBuffers(file);
    const QString writeError = complete ? QString() : qt_error_string();
    CloseHandle(file);
    if (!complete) {
        DeleteFileW(temporary.c_str());
        *error = saveFailureReason(target, bytes.size(), true, writeError);
        return false;
    }
    const std::wstring to = nativeName(target);
    const auto replace = [&](QString *why) {
        const bool replaced =
            existed ? ReplaceFileW(to.c_str(), temporary.c_str(), nullptr,
                                   REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
                    : MoveFileExW(temporary.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH);
        if (!replaced)
            *why = qt_error_string();
        return replaced;
    };
    QString system;
    if (!commit(target, replace, &system)) {
        DeleteFileW(temporary.c_str());
        *error = saveFailureReason(target, bytes.size(), true, system);
        return false;
    }
    return true;
}

#endif

} // namespace vusk
