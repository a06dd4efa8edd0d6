#include "modcommondialog.h"

#include "programinfo.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
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

QString trimBlanksOnWindows(const QString &text);

// Qt's own dialog answers with the files selected in its list when there are any,
// and it selects them while the name is typed, the default extension added: so
// "README" can come back as "README.txt", and "a.txt " as "a.txt". Where the name
// typed is meant as it stands, the list's selection is dropped so that the typed
// name counts. In the open kinds a typed name that exists as it stands is taken as
// it stands; the default extension is added only to a name that does not exist as
// typed. Platform dialogs keep their own rules.
class FileDialog : public QFileDialog
{
public:
    using QFileDialog::QFileDialog;

    SaveTargetCheck checkTarget;

    void accept() override
    {
        const auto *nameBox = findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        const QString typed = nameBox ? nameBox->text() : QString();
        const bool existsAsTyped = acceptMode() == AcceptOpen && !typed.isEmpty() &&
                                   QFileInfo(directory().absoluteFilePath(typed)).isFile();
        if (existsAsTyped)
            setDefaultSuffix({});
        if (existsAsTyped || typed != typed.trimmed())
            for (auto *view : findChildren<QAbstractItemView *>())
                if (view->selectionModel())
                    view->selectionModel()->clear();
        if (!targetAccepted()) {
            reject();
            return;
        }
        QFileDialog::accept();
    }

private:
    // A file that would be refused anyway is refused before the question whether to
    // replace it, which comes with QFileDialog::accept() for an existing file.
    bool targetAccepted()
    {
        if (!checkTarget || acceptMode() != AcceptSave)
            return true;
        const QString target = selectedFiles().value(0);
        const QFileInfo info(target);
        return target.isEmpty() || !info.exists() || info.isDir() ||
               checkTarget(this, trimBlanksOnWindows(QDir::toNativeSeparators(target)));
    }
};

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

// Windows cannot end a file name in a blank, so blanks at the ends of what the
// dialog returns are stray ones there; elsewhere they may be part of the name.
// Blanks only, not other white space.
QString trimBlanksOnWindows(const QString &text)
{
#ifdef Q_OS_WIN
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == u' ')
        ++begin;
    while (end > begin && text.at(end - 1) == u' ')
        --end;
    return text.sliced(begin, end - begin);
#else
    return text;
#endif
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
                       const QString &initialFolder, int filterIndex,
                       const SaveTargetCheck &checkTarget)
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
        FileDialog dialog(owner, title, QDir::fromNativeSeparators(folder));
        setUpForKind(dialog, kind);
        dialog.checkTarget = checkTarget;
        dialog.setNameFilters(filters);
        if (!filters.isEmpty())
            dialog.selectNameFilter(filters.value(qMax(filterIndex, 1) - 1, filters.first()));
        dialog.setDefaultSuffix(defaultExtension);
        dialog.selectFile(fileName);
        // What the dialog accepted, before its list can change again.
        QStringList accepted;
        QObject::connect(&dialog, &QFileDialog::filesSelected,
                         [&accepted](const QStringList &files) { accepted = files; });
        if (dialog.exec() != QDialog::Accepted || accepted.isEmpty())
            return {};

        chosen = QDir::toNativeSeparators(accepted.constFirst());
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
    return trimBlanksOnWindows(chosen);
}

} // namespace vusk
