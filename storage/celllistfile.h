#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;
class QSaveFile;

namespace vusk {

// Writes every byte or says why not. Some devices report success after writing
// only part of what they were given (a full disk), so the count is checked.
bool writeAll(QIODevice &device, const QByteArray &bytes, QString *error);

// Replaces the file at path with the bytes, all or nothing: the former file stays
// intact unless every byte reached the disk. Only a regular file (or a link to one,
// whose target is written) is ever replaced: a pipe or a device is refused. Returns
// false with the reason in Russian, the system's own reason in brackets.
bool saveFileAtomically(const QString &path, const QByteArray &bytes, QString *error);

// Why saving onto path would be refused whatever the list holds: it is no regular
// file, or it cannot be written. Empty when nothing speaks against it, a missing file
// included. Lets a caller say so before asking whether to replace the file.
QString saveTargetRefusal(const QString &path);

// The last step of a save: the written file takes the former one's place. False, with
// the reason, when it cannot. Replaceable, so that a disk failing at exactly that
// moment can be staged; returns the step it replaces.
using CommitStep = bool (*)(QSaveFile &file, QString *error);
CommitStep setCommitStep(CommitStep step);

} // namespace vusk
