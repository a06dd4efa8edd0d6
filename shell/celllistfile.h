#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

namespace vusk {

// Writing a file's bytes all or nothing. Which files may be written, and the words
// for why not, are fileaccess's.

// The last step of a save, the one that changes what the target holds: the written
// file put in its place, or the bytes written into it in place (or, after a failure
// there, the former contents put back). `step` does it; false, with the system's
// reason, when it cannot. Whoever saves may take the step their own way, to stage
// a disk that fails at exactly that moment.
using CommitStep = std::function<bool(const QString &target,
                                      const std::function<bool(QString *)> &step, QString *error)>;

// Takes the step as it comes.
bool commitDirectly(const QString &target, const std::function<bool(QString *)> &step,
                    QString *error);

// Replaces what the file at path holds with the bytes, all or nothing: the former
// contents stay on disk unless every new byte reached it. A link's target is written,
// and the file keeps its owner, group, permissions, hard links and extended
// attributes. Usually a new file takes the former one's place; where it could not
// keep all of that, the bytes are written into the file itself after a backup copy
// of its former contents, and a failure that leaves the copy says where it is.
// Returns false with the reason in Russian, the system's own reason in brackets.
bool saveFileAtomically(const QString &path, const QByteArray &bytes, QString *error,
                        const CommitStep &commit = commitDirectly);

} // namespace vusk
