#include "dialoganswers.h"
#include "modcommondialog.h"
#include "platformstartup.h"
#include "programfolder.h"

#include <QFile>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>

const QString cellListFilter = "Текстовые документы (*.txt)|*.txt|Все файлы (*.*)|*.*";
const QString textFilter = "Текстовые документы (*.txt)";
const QString allFilter = "Все файлы (*.*)";
const QString title = "VUSK: Открытие файла";

// What the dialog shows as it opens; "~" is the test's folder, a folder "" the current one.
struct Shown
{
    int kind;
    QString defaultName, folder;
    int filterIndex;
    QString shownFolder, proposedName, selectedFilter;
};

// What the dialog gives back when a name is typed into it.
struct Returned
{
    int kind;
    QStringList existing;               // files in the folder; "a>b" is a link to b
    QString typed;                      // "" shows no dialog at all; "<255>" a path that long
    QMessageBox::StandardButton answer; // to the dialog's question
    QString returned;                   // "" for nothing chosen
};

class TestFileDialog : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString &name) const { return QDir(m_dir.path()).filePath(name); }
    // A file name that makes a path of n characters in the test's folder.
    QString nameForPath(int n) const { return QString(n - m_dir.path().size() - 5, 'n') + ".txt"; }
    void createFile(const QString &name) { QVERIFY(QFile(path(name)).open(QFile::WriteOnly)); }
    static void shows(const char *name, const Shown &shown) { QTest::newRow(name) << shown; }
    static void returns(const char *name, const Returned &r) { QTest::newRow(name) << r; }
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
        row("drive and folder, slashes", "C:/Data/", "btsinfo.txt");
        row("trailing backslash", R"(C:\Data\)", "");
        row("trailing slash", "C:/Data/", "");
        row("adjacent backslashes", R"(C:\\)", "x");
        row("network share", R"(\\server\share\)", "f.txt");
        row("leading backslash", R"(\)", "f.txt");
        row("backslash alone", R"(\)", "");
        row("slash after backslash", R"(C:\Data/)", "f.txt");
        row("backslash after slash", R"(C:/Data\)", "f.txt");
        row("mixed separators in a POSIX path", R"(/home/u\sub/)", "f.txt");
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
        QTest::addColumn<Shown>("shown");
        shows("open", {0, "btsinfo.txt", "~", 0, "~", "btsinfo.txt", textFilter});
        shows("save", {2, "btsinfo_txt.txt", "~", 0, "~", "btsinfo_txt.txt", textFilter});
        shows("filter index 1 is the first", {0, "x.txt", "~", 1, "~", "x.txt", textFilter});
        shows("filter index 2 is the second", {0, "x.txt", "~", 2, "~", "x.txt", allFilter});
        shows("filter index past the end is the first",
              {0, "x.txt", "~", 7, "~", "x.txt", textFilter});
        shows("folder part of the default name wins",
              {0, "~/sub/btsinfo.txt", "/", 0, "~/sub", "btsinfo.txt", textFilter});
        shows("default name that is only a folder", {0, "~/sub/", "/", 0, "~/sub", "", textFilter});
        shows("no folder: the current directory",
              {2, "btsinfo_txt.txt", "", 0, "~", "btsinfo_txt.txt", textFilter});
    }

    void whatTheDialogShows()
    {
        QFETCH(Shown, shown);
        for (QString *text : {&shown.defaultName, &shown.folder, &shown.shownFolder})
            text->replace("~", m_dir.path());
        QVERIFY(QDir().mkpath(shown.shownFolder));
        const QStringList everyFile{"list.txt", "noextension"}; // "All files": even without a dot
        for (const QString &name : everyFile)
            createFile(QDir(shown.shownFolder).filePath(name));
        const QStringList expected = everyFile.first(shown.selectedFilter == allFilter ? 2 : 1);
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
        QDir::setCurrent(m_dir.path());
        FileDialogSeen seen;
        ModalWatcher watcher(lookAtFileDialog(&seen, listAndCancel));
        const QString chosen = show(shown.kind, shown.defaultName, shown.folder, shown.filterIndex);
        QDir::setCurrent(before);
        QCOMPARE(chosen, QString()); // cancelled
        QCOMPARE(seen.title, title);
        QCOMPARE(seen.folder, shown.shownFolder);
        QCOMPARE(seen.proposedName, shown.proposedName);
        QCOMPARE(seen.filters, (QStringList{textFilter, allFilter}));
        QCOMPARE(seen.selectedFilter, shown.selectedFilter);
        QCOMPARE(seen.acceptMode == QFileDialog::AcceptSave, shown.kind == 2);
        QCOMPARE(listed, expected);
    }

    void whatTheDialogReturns_data()
    {
        QTest::addColumn<Returned>("r");
        using enum QMessageBox::StandardButton;
        const QStringList cells{"cells.txt"};
        returns("0: existing file", {0, cells, "cells.txt", NoButton, "cells.txt"});
        returns("0: missing file is refused", {0, {}, "cells.txt", Ok, ""});
        returns("1: existing file", {1, cells, "cells.txt", NoButton, "cells.txt"});
        returns("1: missing file, create? yes", {1, {}, "cells.txt", Yes, "cells.txt"});
        returns("1: missing file, create? no", {1, {}, "cells.txt", No, ""});
        returns("2: new file", {2, {}, "cells.txt", NoButton, "cells.txt"});
        returns("2: replace? yes", {2, cells, "cells.txt", Yes, "cells.txt"});
        returns("2: replace? no", {2, cells, "cells.txt", No, ""});
        returns("3: existing file, no question", {3, cells, "cells.txt", NoButton, "cells.txt"});
        returns("3: new file", {3, {}, "cells.txt", NoButton, "cells.txt"});
        returns("kind 4 shows nothing", {4, cells, "", NoButton, ""});
        returns("kind -1 shows nothing", {-1, cells, "", NoButton, ""});
        returns("open: extension added", {0, cells, "cells", NoButton, "cells.txt"});
        returns("open: own extension kept", {0, {"cells.dat"}, "cells.dat", NoButton, "cells.dat"});
        returns("open: a name without extension that exists as typed",
                {0, {"README", "README.txt"}, "README", NoButton, "README"});
        returns("save: extension added", {2, {}, "new", NoButton, "new.txt"});
        returns("save: own extension kept", {2, {}, "new.csv", NoButton, "new.csv"});
        returns("open: a link is returned itself",
                {0, {"target.txt", "link.txt>target.txt"}, "link.txt", NoButton, "link.txt"});
#ifndef Q_OS_WIN // where names cannot end in a blank, the blanks are cut off
        returns("open: a blank at the end belongs to the name",
                {0, {"a.txt", "a.txt "}, "a.txt ", NoButton, "a.txt "});
        returns("save: a blank at the end belongs to the name",
                {2, {"a.txt"}, "a.txt ", NoButton, "a.txt "});
#endif
        returns("a path of 255 characters fits", {3, {}, "<255>", NoButton, "<255>"});
    }

    void whatTheDialogReturns()
    {
        QFETCH(Returned, r);
        for (const QString &file : r.existing) {
            if (!file.contains(u'>'))
                createFile(file);
            else if (!hasSymbolicLinks() ||
                     !QFile::link(path(file.section(u'>', 1)), path(file.section(u'>', 0, 0))))
                QSKIP("no symbolic links here");
        }
        if (r.typed == "<255>")
            r.typed = r.returned = nameForPath(255);
        MessageBoxSeen question;
        QList<ModalWatcher::Answer> answers;
        if (!r.typed.isEmpty())
            answers.append(typeFileName(r.typed));
        if (r.answer != QMessageBox::NoButton)
            answers.append(pressButton(r.answer, &question));
        if (r.returned.isEmpty() && !r.typed.isEmpty())
            answers.append(cancelFileDialog()); // the dialog is still there, or back again
        ModalWatcher watcher(answers);
        const QString chosen = show(r.kind, QString(), m_dir.path());
        QCOMPARE(watcher.answeredCount(), answers.size());
        QVERIFY2(watcher.unexpected().isEmpty(), qPrintable(watcher.unexpected().join(u'\n')));
        QCOMPARE(chosen,
                 r.returned.isEmpty() ? QString() : QDir::toNativeSeparators(path(r.returned)));
        if (question.seen) // kind 0 refuses with a warning of the dialog's own
            QCOMPARE(question.icon, r.kind == 1 ? QMessageBox::Question : QMessageBox::Warning);
        if (r.kind == 1 && r.answer != QMessageBox::NoButton)
            QCOMPARE(question.text, QStringLiteral("Файл %1 не существует.\nСоздать этот файл?")
                                        .arg(QDir::toNativeSeparators(path(r.typed))));
        // The dialog never creates or changes a file itself.
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::System).size(),
                 r.existing.size());
    }

    void tooLongPathIsReported()
    {
        MessageBoxSeen failure;
        ModalWatcher watcher(
            {typeFileName(nameForPath(256)), pressButton(QMessageBox::Ok, &failure)});
        QCOMPARE(show(3, QString(), m_dir.path()), QString());
        QCOMPARE(failure.title, "VUSK");
        QCOMPARE(failure.icon, QMessageBox::Critical);
        QCOMPARE(failure.buttons, QMessageBox::Ok);
        QCOMPARE(failure.text, "Unable to get filename(s).\n\nCommDlgExtendedError returned 12291");
    }

    // On Windows by NTFS rights; the packaging test checks a read-only installed program.
    void writableProgramFolderIsWhereDialogsStart()
    {
        QCOMPARE(vusk::cellListFolder(),
                 QDir::toNativeSeparators(QCoreApplication::applicationDirPath()));
    }

    // On every platform: the Windows build carries Qt's translations. Last: they stay.
    void speaksRussianUnderARussianLocale()
    {
        const char *english = "%1 already exists.\nDo you want to replace it?";
        QCOMPARE(QFileDialog::tr(english), QString::fromLatin1(english));
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        vusk::installQtTranslations();
        QLocale::setDefault(QLocale::c());
        QCOMPARE(QFileDialog::tr(english), "%1 уже существует.\nЗаменить его?");
    }
};

QTEST_MAIN(TestFileDialog)
#include "tst_filedialog.moc"
