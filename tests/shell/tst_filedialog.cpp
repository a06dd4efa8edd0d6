#include "dialoganswers.h"
#include "modcommondialog.h"
#include "platformstartup.h"

#include <QFile>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>

using vusk::ShowFileDialog;

namespace {

const QString cellListFilter =
    QStringLiteral("Текстовые документы (*.txt)|*.txt|Все файлы (*.*)|*.*");
const QString textFilter = QStringLiteral("Текстовые документы (*.txt)");
const QString allFilter = QStringLiteral("Все файлы (*.*)");

} // namespace

class TestFileDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void whatTheDialogShows_data();
    void whatTheDialogShows();
    void allFilesMeansEveryFile();
    void whatTheDialogReturns_data();
    void whatTheDialogReturns();
    void tooLongPathIsReported();
    void speaksRussianUnderARussianLocale();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    // A file name that makes a path of this many characters in the test's folder.
    QString nameForPathOf(qsizetype length) const
    {
        return QString(length - m_dir.path().size() - 5, u'n') + QStringLiteral(".txt");
    }
    void createFile(const QString &name);
    QString show(int kind, QList<ModalWatcher::Answer> answers, const QString &defaultName,
                 const QString &folder, int filterIndex = 0);

    QTemporaryDir m_dir;
};

void TestFileDialog::initTestCase()
{
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QVERIFY(m_dir.isValid());
}

void TestFileDialog::init()
{
    QDir(m_dir.path()).removeRecursively();
    QDir().mkpath(m_dir.path());
}

void TestFileDialog::createFile(const QString &name)
{
    QFile file(path(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("x\r\n");
}

QString TestFileDialog::show(int kind, QList<ModalWatcher::Answer> answers,
                             const QString &defaultName, const QString &folder, int filterIndex)
{
    ModalWatcher watcher(std::move(answers));
    const QString result =
        ShowFileDialog(nullptr, cellListFilter, QStringLiteral("txt"), kind,
                       QStringLiteral("VUSK: Открытие файла"), defaultName, folder, filterIndex);
    if (!watcher.answered())
        qWarning("only %lld of the expected windows appeared", qlonglong(watcher.answeredCount()));
    return result;
}

void TestFileDialog::whatTheDialogShows_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("defaultName"); // "<dir>" stands for the test's folder
    QTest::addColumn<QString>("folder");      // "" is the current directory
    QTest::addColumn<int>("filterIndex");
    QTest::addColumn<QString>("shownFolder");
    QTest::addColumn<QString>("proposedName");
    QTest::addColumn<QString>("selectedFilter");

    QTest::newRow("open") << 0 << "btsinfo.txt"
                          << "<dir>" << 0 << "<dir>"
                          << "btsinfo.txt" << textFilter;
    QTest::newRow("save") << 2 << "btsinfo_txt.txt"
                          << "<dir>" << 0 << "<dir>"
                          << "btsinfo_txt.txt" << textFilter;
    QTest::newRow("filter index 1 is the first") << 0 << "x.txt"
                                                 << "<dir>" << 1 << "<dir>"
                                                 << "x.txt" << textFilter;
    QTest::newRow("filter index 2 is the second") << 0 << "x.txt"
                                                  << "<dir>" << 2 << "<dir>"
                                                  << "x.txt" << allFilter;
    QTest::newRow("filter index past the end is the first") << 0 << "x.txt"
                                                            << "<dir>" << 7 << "<dir>"
                                                            << "x.txt" << textFilter;
    QTest::newRow("folder part of the default name wins") << 0 << "<dir>/sub/btsinfo.txt"
                                                          << "/" << 0 << "<dir>/sub"
                                                          << "btsinfo.txt" << textFilter;
    QTest::newRow("default name that is only a folder") << 0 << "<dir>/sub/"
                                                        << "/" << 0 << "<dir>/sub"
                                                        << "" << textFilter;
    QTest::newRow("no folder: the current directory") << 2 << "btsinfo_txt.txt"
                                                      << "" << 0 << "<dir>"
                                                      << "btsinfo_txt.txt" << textFilter;
}

void TestFileDialog::whatTheDialogShows()
{
    QFETCH(int, kind);
    QFETCH(QString, defaultName);
    QFETCH(QString, folder);
    QFETCH(int, filterIndex);
    QFETCH(QString, shownFolder);
    QFETCH(QString, proposedName);
    QFETCH(QString, selectedFilter);

    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("sub")));
    const QString before = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
    FileDialogSeen seen;
    const QString chosen = show(kind, {lookAtFileDialog(&seen, cancelFileDialog())},
                                defaultName.replace("<dir>", m_dir.path()),
                                folder.replace("<dir>", m_dir.path()), filterIndex);
    QDir::setCurrent(before);
    QVERIFY(seen.seen);
    QCOMPARE(chosen, QString()); // cancelled
    QCOMPARE(seen.title, QStringLiteral("VUSK: Открытие файла"));
    QCOMPARE(seen.folder, shownFolder.replace("<dir>", m_dir.path()));
    QCOMPARE(seen.proposedName, proposedName);
    QCOMPARE(seen.filters, (QStringList{textFilter, allFilter}));
    QCOMPARE(seen.selectedFilter, selectedFilter);
    QCOMPARE(seen.acceptMode, kind == 0 ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
}

void TestFileDialog::allFilesMeansEveryFile()
{
    createFile(QStringLiteral("noextension"));
    createFile(QStringLiteral("list.txt"));
    QStringList listed;
    auto listShown = [&listed](QWidget *modal) {
        auto *view = modal->findChild<QListView *>(QStringLiteral("listView"));
        QTRY_VERIFY(view->model()->rowCount(view->rootIndex()) > 0);
        for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
            listed.append(view->model()->index(row, 0, view->rootIndex()).data().toString());
        cancelFileDialog()(modal);
    };
    show(0, {listShown}, QString(), m_dir.path(), 2);
    listed.sort();
    QCOMPARE(listed, (QStringList{"list.txt", "noextension"}));
    listed.clear();
    show(0, {listShown}, QString(), m_dir.path(), 1);
    QCOMPARE(listed, QStringList{QStringLiteral("list.txt")});
}

void TestFileDialog::whatTheDialogReturns_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("existing"); // files in the folder; "a>b" is a link to b
    QTest::addColumn<QString>("typed");        // "" shows no dialog at all
    QTest::addColumn<int>("answer");           // to the dialog's question, 0 for none
    QTest::addColumn<QString>("returned");     // "" for nothing chosen

    const int none = 0;
    const int yes = QMessageBox::Yes;
    const int no = QMessageBox::No;
    const QStringList cells{"cells.txt"};
    QTest::newRow("0: existing file") << 0 << cells << "cells.txt" << none << "cells.txt";
    QTest::newRow("0: missing file is refused")
        << 0 << QStringList() << "cells.txt" << int(QMessageBox::Ok) << "";
    QTest::newRow("1: existing file") << 1 << cells << "cells.txt" << none << "cells.txt";
    QTest::newRow("1: missing file, create? yes")
        << 1 << QStringList() << "cells.txt" << yes << "cells.txt";
    QTest::newRow("1: missing file, create? no") << 1 << QStringList() << "cells.txt" << no << "";
    QTest::newRow("2: new file") << 2 << QStringList() << "cells.txt" << none << "cells.txt";
    QTest::newRow("2: replace? yes") << 2 << cells << "cells.txt" << yes << "cells.txt";
    QTest::newRow("2: replace? no") << 2 << cells << "cells.txt" << no << "";
    QTest::newRow("3: existing file, no question")
        << 3 << cells << "cells.txt" << none << "cells.txt";
    QTest::newRow("3: new file") << 3 << QStringList() << "cells.txt" << none << "cells.txt";
    QTest::newRow("kind 4 shows nothing") << 4 << cells << "" << none << "";
    QTest::newRow("kind -1 shows nothing") << -1 << cells << "" << none << "";

    QTest::newRow("open: extension added") << 0 << cells << "cells" << none << "cells.txt";
    QTest::newRow("open: own extension kept")
        << 0 << QStringList{"cells.dat"} << "cells.dat" << none << "cells.dat";
    QTest::newRow("open: a name without extension that exists as typed")
        << 0 << QStringList{"README", "README.txt"} << "README" << none << "README";
    QTest::newRow("save: extension added") << 2 << QStringList() << "new" << none << "new.txt";
    QTest::newRow("save: own extension kept")
        << 2 << QStringList() << "new.csv" << none << "new.csv";
    QTest::newRow("open: a link is returned itself")
        << 0 << QStringList{"target.txt", "link.txt>target.txt"} << "link.txt" << none
        << "link.txt";
#ifndef Q_OS_WIN // where names cannot end in a blank, the blanks are cut off
    QTest::newRow("open: a blank at the end belongs to the name")
        << 0 << QStringList{"a.txt", "a.txt "} << "a.txt " << none << "a.txt ";
    QTest::newRow("save: a blank at the end belongs to the name")
        << 2 << QStringList{"a.txt"} << "a.txt " << none << "a.txt ";
#endif
    QTest::newRow("a path of 255 characters fits")
        << 3 << QStringList() << "<255>" << none << "<255>";
}

void TestFileDialog::whatTheDialogReturns()
{
    QFETCH(int, kind);
    QFETCH(QStringList, existing);
    QFETCH(QString, typed);
    QFETCH(int, answer);
    QFETCH(QString, returned);

    for (const QString &file : existing) {
        if (!file.contains(u'>'))
            createFile(file);
        else if (!hasSymbolicLinks() ||
                 !QFile::link(path(file.section(u'>', 1)), path(file.section(u'>', 0, 0))))
            QSKIP("no symbolic links here");
    }
    if (typed == "<255>")
        typed = returned = nameForPathOf(255);

    MessageBoxSeen question;
    QList<ModalWatcher::Answer> answers;
    if (!typed.isEmpty())
        answers.append(typeFileName(typed));
    if (answer)
        answers.append(pressButton(QMessageBox::StandardButton(answer), &question));
    if (returned.isEmpty() && !typed.isEmpty())
        answers.append(cancelFileDialog()); // the dialog is still there, or back again
    ModalWatcher watcher(answers);
    const QString chosen = ShowFileDialog(nullptr, cellListFilter, QStringLiteral("txt"), kind,
                                          QStringLiteral("VUSK"), QString(), m_dir.path(), 0);
    QCOMPARE(watcher.answeredCount(), answers.size());
    QVERIFY2(watcher.unexpected().isEmpty(), qPrintable(watcher.unexpected().join(u'\n')));
    QCOMPARE(chosen, returned.isEmpty() ? QString() : QDir::toNativeSeparators(path(returned)));
    if (question.seen) // kind 0 refuses with a warning of the dialog's own
        QCOMPARE(question.icon, kind == 1 ? QMessageBox::Question : QMessageBox::Warning);
    if (kind == 1 && answer)
        QCOMPARE(question.text, QStringLiteral("Файл %1 не существует.\nСоздать этот файл?")
                                    .arg(QDir::toNativeSeparators(path(typed))));
    // The dialog never creates or changes a file itself.
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::System).size(), existing.size());
}

void TestFileDialog::tooLongPathIsReported()
{
    MessageBoxSeen failure;
    const QString chosen =
        show(3, {typeFileName(nameForPathOf(256)), pressButton(QMessageBox::Ok, &failure)},
             QString(), m_dir.path());
    QCOMPARE(chosen, QString());
    QVERIFY(failure.seen);
    QCOMPARE(failure.title, QStringLiteral("VUSK"));
    QCOMPARE(failure.icon, QMessageBox::Critical);
    QCOMPARE(failure.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(failure.text.split(u'\n'), (QStringList{"Unable to get filename(s).", "",
                                                     "CommDlgExtendedError returned 12291"}));
}

void TestFileDialog::speaksRussianUnderARussianLocale()
{
    // Qt's own dialogs and buttons take Qt's translations for the user's language.
    const char *english = "%1 already exists.\nDo you want to replace it?";
    QCOMPARE(QFileDialog::tr(english), QString::fromLatin1(english));
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    vusk::installQtTranslations();
    QLocale::setDefault(QLocale::c());
    QCOMPARE(QFileDialog::tr(english), QStringLiteral("%1 уже существует.\nЗаменить его?"));
}

QTEST_MAIN(TestFileDialog)
#include "tst_filedialog.moc"
