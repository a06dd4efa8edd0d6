#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace vusk {

// The kinds of file dialog ShowFileDialog offers.
enum FileDialogKind : int
{
    OpenExistingFile = 0,    // file and folder must exist
    OpenOrOfferToCreate = 1, // a missing file is offered for creation
    SaveAskingToReplace = 2, // asks before an existing file is replaced
    SaveWithoutAsking = 3,   // replaces without asking
};

// Failure code of a chosen path too long for the program's file name buffer.
inline constexpr int fileNameBufferTooSmall = 12291;
// Longest full path a dialog may return.
inline constexpr qsizetype maxChosenPathLength = 255;

// Looks at an existing file chosen in a save dialog before the user is asked whether to
// replace it. False refuses it: the check has told the user why, over the dialog, and
// the dialog ends as if cancelled.
using SaveTargetCheck = std::function<bool(QWidget *dialog, const QString &path)>;

// Asks the user for a file, modal to owner. The filter is "description|pattern|..."
// pairs, the index picks the preselected pair (0 and 1 both the first). A folder
// part in the default name replaces the initial folder; an empty folder means the
// current directory. Returns the chosen full path, or an empty text when the user
// cancelled, the dialog failed (after saying so) or the kind is unknown.
QString ShowFileDialog(QWidget *owner, const QString &filter, const QString &defaultExtension,
                       int kind, const QString &title, const QString &defaultFileName,
                       const QString &initialFolder, int filterIndex,
                       const SaveTargetCheck &checkTarget = {});

// The last component of a path split at its separators ("" for a trailing one).
QString FileNameOfPath(const QString &path);

// Every component but the last, each followed by its separator ("" without one).
QString FolderOfPath(const QString &path);

} // namespace vusk
