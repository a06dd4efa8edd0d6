#include "celllistfile.h"

#include <QSaveFile>

namespace vusk {

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
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace vusk
