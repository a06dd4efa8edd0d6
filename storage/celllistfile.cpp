#include "celllistfile.h"

#include <QSaveFile>

#include <utility>

namespace vusk {

namespace {

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
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    // flush() makes a full disk show itself before commit() could report success.
    QString reason;
    if (!writeAll(file, bytes, &reason) || !file.flush()) {
        *error = reason.isEmpty() ? file.errorString() : reason;
        file.cancelWriting();
        return false;
    }
    return commitStep(file, error);
}

} // namespace vusk
