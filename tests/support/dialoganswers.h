#pragma once

#include "modalwatcher.h"

#include <QFileDialog>

struct FileDialogSeen
{
    bool seen = false;
    QString title, folder, proposedName, selectedFilter;
    QStringList filters; // as listed for the user
    QFileDialog::AcceptMode acceptMode = QFileDialog::AcceptOpen;
};

// Answers for ModalWatcher scripts, each doing what a person would.
ModalWatcher::Answer lookAtFileDialog(FileDialogSeen *seen, ModalWatcher::Answer then);
// Types a name or a full path into the file dialog and presses Enter.
ModalWatcher::Answer typeFileName(const QString &name);
ModalWatcher::Answer cancelFileDialog();
ModalWatcher::Answer pressButton(QMessageBox::StandardButton button,
                                 MessageBoxSeen *seen = nullptr);

// Whether QFile::link makes a link the file system follows (on Windows: a shortcut).
inline bool hasSymbolicLinks()
{
#ifdef Q_OS_WIN
    return false;
#else
    return true;
#endif
}
