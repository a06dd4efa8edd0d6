#include "modcommondialog.h"

#include "apptitle.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace vusk {

namespace {

// Paths come in Windows form, but Windows takes a slash as a separator as well
// as POSIX systems do.
bool isPathSeparator(QChar ch)
{
    return ch == u'\\' || ch == u'/';
}

qsizetype lastSeparator(const QString &path)
{
    for (qsizetype i = path.size() - 1; i >= 0; --i)
        if (isPathSeparator(path.at(i)))
            return i;
    return -1;
}

// "*.*" means every file, including those without a dot in their name.
QString qtPatterns(const QString &patterns)
{
    QStringList list = patterns.split(u';', Qt::SkipEmptyParts);
    for (QString &pattern : list) {
        pattern = pattern.trimmed();
        if (pattern == u"*.*")
            pattern = QStringLiteral("*");
    }
    return list.join(u' ');
}

// Qt takes its patterns from the last parentheses of a filter; the description
// before them is what the user sees.
QStringList nameFilters(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters.append(QStringLiteral("%1 (%2)").arg(parts.at(i), qtPatterns(parts.at(i + 1))));
    return filters;
}

void setUpForKind(QFileDialog &dialog, int kind)
{
    const bool open = kind == OpenExistingFile || kind == OpenOrOfferToCreate;
    dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(kind == OpenExistingFile ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontResolveSymlinks, open);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, kind != SaveAskingToReplace);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
}

bool userAgreesToCreate(QWidget *parent, const QString &title, const QString &path)
{
    return QMessageBox::question(
               parent, title,
               QStringLiteral("Файл %1 не существует.\nСоздать этот файл?").arg(path),
               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

// Blanks only, not other white space.
QString trimBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == u' ')
        ++begin;
    while (end > begin && text.at(end - 1) == u' ')
        --end;
    return text.sliced(begin, end - begin);
}

void reportFailure(QWidget *owner, int code)
{
    QMessageBox::critical(owner, applicationTitle(),
                          QStringLiteral("Unable to get filename(s).\n\n"
                                         "CommDlgExtendedError returned %1")
                              .arg(code));
}

} // namespace

QString FileNameOfPath(const QString &path)
{
    return path.mid(lastSeparator(path) + 1);
}

QString FolderOfPath(const QString &path)
{
    const qsizetype cut = lastSeparator(path);
    return cut < 0 ? QString() : path.left(cut + 1);
}

QString ShowFileDialog(QWidget *owner, const QString &filter, const QString &defaultExtension,
                       int kind, const QString &title, const QString &defaultFileName,
                       const QString &initialFolder, int filterIndex)
{
    if (kind < OpenExistingFile || kind > SaveWithoutAsking)
        return {};

    QString folder = initialFolder;
    QString fileName = defaultFileName;
    if (lastSeparator(defaultFileName) >= 0) {
        folder = FolderOfPath(defaultFileName);
        fileName = FileNameOfPath(defaultFileName);
    }
    if (folder.isEmpty())
        folder = QDir::currentPath();

    const QStringList filters = nameFilters(filter);
    QString chosen;
    for (;;) {
        // A new dialog every time: nothing carries over from an earlier call.
        QFileDialog dialog(owner, title, QDir::fromNativeSeparators(folder));
        setUpForKind(dialog, kind);
        dialog.setNameFilters(filters);
        if (!filters.isEmpty())
            dialog.selectNameFilter(filters.value(qMax(filterIndex, 1) - 1, filters.first()));
        dialog.setDefaultSuffix(defaultExtension);
        dialog.selectFile(fileName);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};

        chosen = QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
        if (kind == OpenOrOfferToCreate && !QFileInfo::exists(chosen) &&
            !userAgreesToCreate(owner, title, chosen)) {
            // Back to the dialog, as if the user had not pressed Open yet.
            folder = FolderOfPath(chosen);
            fileName = FileNameOfPath(chosen);
            continue;
        }
        break;
    }

    if (chosen.size() > maxChosenPathLength) {
        reportFailure(owner, fileNameBufferTooSmall);
        return {};
    }
    return trimBlanks(chosen);
}

} // namespace vusk
