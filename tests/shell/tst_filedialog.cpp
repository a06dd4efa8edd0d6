#include "dialoganswers.h"
#include "modcommondialog.h"
#include "platformstartup.h"
#include "programfolder.h"
#include "readable.h"

#include <QFile>
#include <QListView>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

using enum vusk::FileDialogKind;

const QString cellListFilter = "Текстовые документы (*.txt)|*.txt|Все файлы (*.*)|*.*";
const QString textFilter = "Текстовые документы (*.txt)";
const QString allFilter = "Все файлы (*.*)";
const QString title = "VUSK: Открытие файла";

QByteArray kindName(int kind)
{
    const char *const names[] = {"OpenExistingFile", "OpenOrOfferToCreate", "SaveAskingToReplace",
                                 "SaveWithoutAsking"};
    return kind >= 0 && kind < 4 ? QByteArray(names[kind]) : "kind " + QByteArray::number(kind);
}

// What the dialog shows as it opens; "~" is the test's folder, a folder "" the current one.
struct Shown
{
    QString defaultName = "x.txt", folder = "~";
    int filterIndex = 0;
    QString shownFolder = "~";
    std::optional<QString> shownName = {}; // none: the default name
    QString shownFilter = textFilter;
};

// What the dialog gives back when a name is typed into it.
struct Returned
{
    QStringList existing = {};   // files in the folder; "a>b" is a link to b
    QString typed = "cells.txt"; // into the dialog; "" where none shows; "<255>" a path that long
    QMessageBox::StandardButton answer = QMessageBox::NoButton; // to the dialog's question
    QString returned = {};                                      // "" for nothing chosen
};

class TestFileDialog : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString &name) const { return QDir(m_dir.path()).filePath(name); }
    // A file name that makes a path of n characters in the test's folder.
    QString nameForPath(int n) const { return QString(n - m_dir.path().size() - 5, 'n') + ".txt"; }
    void createFile(const QString &name) { QVERIFY(QFile(path(name)).open(QFile::WriteOnly)); }
    template <typename Row> static void row(int kind, const char *what, const Row &row)
    {
        QTest::addRow("%s: %s", kindName(kind).constData(), what) << kind << row;
    }
    // The dialog with the cell list's filters; a ModalWatcher answers its windows.
    QString show(int kind, const QString &defaultName, const QString &folder, int filterIndex = 0)
    {
        return vusk::ShowFileDialog(nullptr, cellListFilter, "txt", kind, title, defaultName,
                                    folder, filterIndex);
    }

private slots:
    void init()
    {
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        QDir(m_dir.path()).removeRecursively();
        QVERIFY(QDir().mkpath(m_dir.path()));
    }

    void pathParts_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("fileName");
        const auto row = [](const char *name, const char *folder, const char *fileName) {
            QTest::newRow(name) << QString(folder) << QString(fileName);
        };
        row("empty", "", "");
        row("bare name", "", "btsinfo.txt");
        row("drive and folder", R"(C:\Data\)", "btsinfo.txt");
        row("trailing backslash", R"(C:\Data\)", "");
        row("trailing slash", "C:/Data/", "");
        row("adjacent backslashes", R"(C:\\)", "x");
        row("network share", R"(\\server\share\)", "f.txt");
        row("leading backslash", R"(\)", "f.txt");
        row("slash after backslash", R"(C:\Data/)", "f.txt");
        row("backslash after slash", R"(C:/Data\)", "f.txt");
    }

    void pathParts()
    {
        QFETCH(QString, folder);
        QFETCH(QString, fileName);
        QCOMPARE(vusk::FolderOfPath(folder + fileName), folder);
        QCOMPARE(vusk::FileNameOfPath(folder + fileName), fileName);
    }

    void whatTheDialogShows_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<Shown>("shown");
        row<Shown>(OpenExistingFile, "filter index 1 is the first", {.filterIndex = 1});
        row<Shown>(OpenExistingFile, "filter index 2 is the second",
                   {.filterIndex = 2, .shownFilter = allFilter});
        row<Shown>(OpenExistingFile, "filter index past the end is the first", {.filterIndex = 7});
        row<Shown>(OpenExistingFile, "folder part of the default name wins",
                   {.defaultName = "~/sub/btsinfo.txt",
                    .folder = "/",
                    .shownFolder = "~/sub",
                    .shownName = "btsinfo.txt"});
        row<Shown>(
            OpenExistingFile, "default name that is only a folder",
            {.defaultName = "~/sub/", .folder = "/", .shownFolder = "~/sub", .shownName = ""});
        row<Shown>(SaveAskingToReplace, "no folder: the current directory", {.folder = ""});
    }

    void whatTheDialogShows()
    {
        QFETCH(int, kind);
        QFETCH(Shown, shown);
        for (QString *text : {&shown.defaultName, &shown.folder, &shown.shownFolder})
            text->replace("~", m_dir.path());
        QVERIFY(QDir().mkpath(shown.shownFolder));
        const QStringList everyFile{"list.txt", "noextension"}; // "All files": even without a dot
        for (const QString &name : everyFile)
            createFile(QDir(shown.shownFolder).filePath(name));
        const QStringList expected = everyFile.first(shown.shownFilter == allFilter ? 2 : 1);
        QStringList listed;
        const auto listAndCancel = [&](QWidget *modal) {
            const auto *view = modal->findChild<QListView *>("listView");
            [[maybe_unused]] const bool complete = QTest::qWaitFor([&] {
                listed.clear();
                for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
                    listed.append(
                        view->model()->index(row, 0, view->rootIndex()).data().toString());
                return listed == expected;
            });
            cancelFileDialog()(modal);
        };
        const QString before = QDir::currentPath();
        const auto restore = qScopeGuard([&] { QDir::setCurrent(before); });
        QDir::setCurrent(m_dir.path());
        FileDialogSeen seen;
        ModalWatcher watcher(lookAtFileDialog(&seen, listAndCancel));
        COMPARE_TEXT("path chosen", show(kind, shown.defaultName, shown.folder, shown.filterIndex),
                     QString()); // cancelled
        COMPARE_TEXT("title", seen.title, title);
        COMPARE_TEXT("folder", seen.folder, shown.shownFolder);
        COMPARE_TEXT("name", seen.proposedName, shown.shownName.value_or(shown.defaultName));
        COMPARE_LINES("filters", seen.filters, (QStringList{textFilter, allFilter}));
        COMPARE_TEXT("filter", seen.selectedFilter, shown.shownFilter);
        QCOMPARE(seen.acceptMode,
                 kind == SaveAskingToReplace ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        COMPARE_LINES("files listed", listed, expected);
    }

    void whatTheDialogReturns_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<Returned>("r");
        using enum QMessageBox::StandardButton;
        const QStringList cells{"cells.txt"};
        row<Returned>(OpenExistingFile, "missing file is refused", {.answer = Ok});
        row<Returned>(OpenOrOfferToCreate, "existing file",
                      {.existing = cells, .returned = "cells.txt"});
        row<Returned>(OpenOrOfferToCreate, "missing file, create? yes",
                      {.answer = Yes, .returned = "cells.txt"});
        row<Returned>(OpenOrOfferToCreate, "missing file, create? no", {.answer = No});
        row<Returned>(SaveAskingToReplace, "replace? yes",
                      {.existing = cells, .answer = Yes, .returned = "cells.txt"});
        row<Returned>(SaveAskingToReplace, "replace? no", {.existing = cells, .answer = No});
        row<Returned>(SaveWithoutAsking, "existing file, no question",
                      {.existing = cells, .returned = "cells.txt"});
        row<Returned>(4, "shows nothing", {.existing = cells, .typed = ""});
        row<Returned>(-1, "shows nothing", {.existing = cells, .typed = ""});
        row<Returned>(OpenExistingFile, "extension added",
                      {.existing = cells, .typed = "cells", .returned = "cells.txt"});
        row<Returned>(OpenExistingFile, "own extension kept",
                      {.existing = {"cells.dat"}, .typed = "cells.dat", .returned = "cells.dat"});
        row<Returned>(
            OpenExistingFile, "a name without extension that exists as typed",
            {.existing = {"README", "README.txt"}, .typed = "README", .returned = "README"});
        row<Returned>(OpenExistingFile, "a link is returned itself",
                      {.existing = {"target.txt", "link.txt>target.txt"},
                       .typed = "link.txt",
                       .returned = "link.txt"});
#ifndef Q_OS_WIN // where names cannot end in a blank, the blanks are cut off
        row<Returned>(OpenExistingFile, "a blank at the end belongs to the name",
                      {.existing = {"a.txt", "a.txt "}, .typed = "a.txt ", .returned = "a.txt "});
        row<Returned>(SaveAskingToReplace, "a blank at the end belongs to the name",
                      {.existing = {"a.txt"}, .typed = "a.txt ", .returned = "a.txt "});
#endif
        row<Returned>(SaveWithoutAsking, "a path of 255 characters fits",
                      {.typed = "<255>", .returned = "<255>"});
    }

    void whatTheDialogReturns()
    {
        QFETCH(int, kind);
        QFETCH(Returned, r);
        QStringList files; // as the folder lists them
        for (const QString &file : r.existing) {
            files.append(file.section(u'>', 0, 0));
            if (!file.contains(u'>'))
                createFile(file);
            else if (!hasSymbolicLinks() ||
                     !QFile::link(path(file.section(u'>', 1)), path(file.section(u'>', 0, 0))))
                QSKIP("no symbolic links here");
        }
        files.sort();
        if (r.typed == "<255>")
            r.typed = r.returned = nameForPath(255);
        MessageBoxSeen question;
        QList<ModalWatcher::Answer> answers;
        QStringList windows; // those the answers are for
        const auto expect = [&](const char *window, const ModalWatcher::Answer &answer) {
            windows.append(window);
            answers.append(answer);
        };
        if (!r.typed.isEmpty())
            expect("the dialog", typeFileName(r.typed));
        if (r.answer != QMessageBox::NoButton)
            expect("its message", pressButton(r.answer, &question));
        if (r.returned.isEmpty() && !r.typed.isEmpty())
            expect("the dialog, still there or back again", cancelFileDialog());
        ModalWatcher watcher(answers);
        const QString chosen = show(kind, QString(), m_dir.path());
        QVERIFY2(watcher.answeredCount() == answers.size(),
                 qPrintable(QString("only %1 of these windows came up: %2")
                                .arg(watcher.answeredCount())
                                .arg(windows.join(", "))));
        QVERIFY2(watcher.unexpected().isEmpty(),
                 qUtf8Printable("unexpected: " + watcher.unexpected().join(u'\n')));
        COMPARE_TEXT("path chosen", chosen,
                     r.returned.isEmpty() ? QString() : QDir::toNativeSeparators(path(r.returned)));
        if (question.seen) // OpenExistingFile refuses with a warning of the dialog's own
            QCOMPARE(question.icon,
                     kind == OpenOrOfferToCreate ? QMessageBox::Question : QMessageBox::Warning);
        if (kind == OpenOrOfferToCreate && r.answer != QMessageBox::NoButton)
            COMPARE_TEXT("question", question.text,
                         QString("Файл %1 не существует.\nСоздать этот файл?")
                             .arg(QDir::toNativeSeparators(path(r.typed))));
        // The dialog never creates or changes a file itself.
        COMPARE_LINES("files in the folder",
                      QDir(m_dir.path()).entryList(QDir::Files | QDir::System, QDir::Name), files);
    }

    void tooLongPathIsReported()
    {
        MessageBoxSeen failure;
        ModalWatcher watcher(
            {typeFileName(nameForPath(256)), pressButton(QMessageBox::Ok, &failure)});
        COMPARE_TEXT("path chosen", show(SaveWithoutAsking, QString(), m_dir.path()), QString());
        COMPARE_TEXT("title", failure.title, "VUSK");
        QCOMPARE(failure.icon, QMessageBox::Critical);
        QCOMPARE(failure.buttons, QMessageBox::Ok);
        COMPARE_TEXT("message", failure.text,
                     "Unable to get filename(s).\n\nCommDlgExtendedError returned 12291");
    }

    // On Windows by NTFS rights; the packaging test checks a read-only installed program.
    void writableProgramFolderIsWhereDialogsStart()
    {
        QCOMPARE(vusk::cellListFolder(),
                 QDir::toNativeSeparators(QCoreApplication::applicationDirPath()));
    }

    // On every platform: the Windows build carries Qt's translations.
    void speaksRussianUnderARussianLocale()
    {
        const char *english = "%1 already exists.\nDo you want to replace it?";
        // What the test changes is put back, so that the others find Qt's own English.
        const QLocale before;
        const QList<QTranslator *> earlier = qApp->findChildren<QTranslator *>();
        const auto restore = qScopeGuard([&] {
            QLocale::setDefault(before);
            for (QTranslator *translator : qApp->findChildren<QTranslator *>())
                if (!earlier.contains(translator))
                    delete translator; // which uninstalls it
        });
        COMPARE_TEXT("before", QFileDialog::tr(english), english);
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        vusk::installQtTranslations();
        QLocale::setDefault(QLocale::c()); // they stay once installed
        COMPARE_TEXT("the question whether to replace", QFileDialog::tr(english),
                     "%1 уже существует.\nЗаменить его?");
    }
};

QTEST_MAIN(TestFileDialog)
#include "tst_filedialog.moc"
