#pragma once

#include "modalwatcher.h"

#include <QFileDialog>
#include <QStringList>

// What a file dialog showed when it opened.
struct FileDialogSeen
{
    bool seen = false;
    QString title;
    QString folder;
    QString proposedName;
    QStringList filters; // as listed for the user
    QString selectedFilter;
    QFileDialog::AcceptMode acceptMode = QFileDialog::AcceptOpen;
};

// Answers for ModalWatcher scripts, each doing what a person would.

// Records the file dialog, then hands it on to the next answer.
ModalWatcher::Answer lookAtFileDialog(FileDialogSeen *seen, ModalWatcher::Answer then);
// Types a name or a full path into the file dialog and presses Enter.
ModalWatcher::Answer typeFileName(const QString &name);
ModalWatcher::Answer cancelFileDialog();
// Records the message box (if seen is given) and clicks the button.
ModalWatcher::Answer pressButton(QMessageBox::StandardButton button,
                                 MessageBoxSeen *seen = nullptr);

// Whether QFile::link makes a link the file system follows (on Windows it makes a
// shortcut file).
bool hasSymbolicLinks();
