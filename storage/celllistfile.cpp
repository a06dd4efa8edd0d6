#include "celllistfile.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>

#include <utility>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <unistd.h>
#endif

namespace vusk {

namespace {

QString withSystemReason(const QString &reason, const QString &system)
{
    return system.isEmpty() ? reason : QStringLiteral("%1 (%2)").arg(reason, system);
}

// Why saving failed, in words a user understands: told apart by looking at the
// folder and the disk afterwards, since the system's own reason may be a bare byte
// count or "Unknown error". created tells whether the new file could be made at all.
QString saveFailureReason(const QString &path, qint64 bytesNeeded, bool created,
                          const QString &systemReason)
{
    const QFileInfo target(path);
    const QFileInfo folder(target.absolutePath());
    const QStorageInfo disk(folder.absoluteFilePath());
    QString reason;
    if (!folder.isDir())
        reason = QStringLiteral("папка не найдена");
    else if (disk.isReadOnly())
        reason = QStringLiteral("диск доступен только для чтения");
    else if (target.exists() && !target.isWritable())
        reason = QStringLiteral("файл защищён от записи");
    else if (!folder.isWritable())
        reason = QStringLiteral("нет прав на запись в папку");
    else if (!created)
        reason = QStringLiteral("файл не удаётся создать");
    else if (disk.bytesAvailable() < bytesNeeded)
        reason = QStringLiteral("на диске не хватает места");
    else
        reason = QStringLiteral("ошибка записи на диск");
    return withSystemReason(reason, systemReason);
}

bool commitFile(QSaveFile &file, QString *error)
{
    if (file.commit())
        return true;
    *error = file.errorString();
    return false;
}

CommitStep commitStep = commitFile;

} // namespace

CommitStep setCommitStep(CommitStep step)
{
    return std::exchange(commitStep, step ? step : commitFile);
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

bool saveFileAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    // The save renames a new file over the old one, which would put a regular file
    // in place of a pipe or a device.
    const QFileInfo target(path);
    if (target.exists() && !target.isFile()) {
        *error = target.isDir() ? QStringLiteral("это папка, а не файл")
                                : QStringLiteral("это не обычный файл");
        return false;
    }
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
    QString system;
    if (!commitStep(file, &system)) {
        *error = saveFailureReason(path, bytes.size(), true, system);
        return false;
    }
    return true;
}

QString saveTargetRefusal(const QString &path)
{
    const QFileInfo target(path);
    if (!target.exists() || (target.isFile() && target.isWritable()))
        return {};
    if (!target.isFile())
        return target.isDir() ? QStringLiteral("это папка, а не файл")
                              : QStringLiteral("это не обычный файл");
    QString system;
#ifdef Q_OS_UNIX
    if (::access(QFile::encodeName(path).constData(), W_OK) != 0)
        system = QString::fromLocal8Bit(std::strerror(errno));
#endif
    return saveFailureReason(path, 0, false, system);
}

} // namespace vusk
