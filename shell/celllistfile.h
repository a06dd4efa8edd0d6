#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QIODevice;

namespace vusk {

// Writes every byte or says why not. Some devices report success after writing
// only part of what they were given (a full disk), so the count is checked.
bool writeAll(QIODevice &device, const QByteArray &bytes, QString *error);

// Whether a save may write to path: a regular file the user may write to, a link to
// one, or a name not taken yet. False, with the reason in Russian, for a folder, a
// pipe, a device, a loop of links, a read-only file or a name too long for the system.
bool checkSaveTarget(const QString &path, QString *error);

// Replaces what the file at path holds with the bytes, all or nothing: the former
// contents stay on disk unless every new byte reached it. A link's target is written,
// and the file keeps its owner, group, permissions, hard links and extended
// attributes. Usually a new file takes the former one's place; where it could not
// keep all of that, the bytes are written into the file itself after a backup copy
// of its former contents, and a failure that leaves the copy says where it is.
// Returns false with the reason in Russian, the system's own reason in brackets.
bool saveFileAtomically(const QString &path, const QByteArray &bytes, QString *error);

// The last step of a save, the one that changes what the target holds: the written
// file renamed over it, or the bytes written into it in place (or, after a failure
// there, the former contents put back). `step` does it; false, with the reason, when
// it cannot. Replaceable, so that a disk failing at exactly that moment can be staged;
// returns the step it replaces.
using CommitStep = bool (*)(const QString &target, const std::function<bool(QString *)> &step,
                            QString *error);
CommitStep setCommitStep(CommitStep step);

} // namespace vusk
