#include "dialoganswers.h"
#include "modcommondialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using vusk::ShowFileDialog;

namespace {

const QString cellListFilter =
    QStringLiteral("Текстовые документы (*.txt)|*.txt|Все файлы (*.*)|*.*");

} // namespace

class TestFileDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void showsTitleFolderNameAndFilters();
    void filterIndexPreselects_data();
    void filterIndexPreselects();
    void allFilesMeansEveryFile();
    void kindRules_data();
    void kindRules();
    void defaultExtension_data();
    void defaultExtension();
    void folderPartOfDefaultNameWins_data();
    void folderPartOfDefaultNameWins();
    void emptyFolderMeansCurrentDirectory();
    void unknownKindShowsNothing_data();
    void unknownKindShowsNothing();
    void saveAfterOpenAcceptsNewName();
    void linksAreReturnedThemselves();
    void tooLongPathIsReported();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
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
    for (const QString &name : QDir(m_dir.path()).entryList(QDir::Files | QDir::System))
        QFile::remove(path(name));
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

void TestFileDialog::showsTitleFolderNameAndFilters()
{
    createFile(QStringLiteral("btsinfo.txt"));
    for (int kind : {0, 2}) {
        FileDialogSeen seen;
        const QString chosen =
            show(kind, {lookAtFileDialog(&seen, cancelFileDialog())}, QStringLiteral("btsinfo.txt"), m_dir.path());
        QVERIFY(seen.seen);
        QCOMPARE(chosen, QString());
        QCOMPARE(seen.title, QStringLiteral("VUSK: Открытие файла"));
        QCOMPARE(seen.folder, m_dir.path());
        QCOMPARE(seen.proposedName, QStringLiteral("btsinfo.txt"));
        QCOMPARE(seen.filters, (QStringList{"Текстовые документы (*.txt)", "Все файлы (*.*)"}));
        QCOMPARE(seen.selectedFilter, QStringLiteral("Текстовые документы (*.txt)"));
        QCOMPARE(seen.acceptMode, kind == 0 ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    }
}

void TestFileDialog::filterIndexPreselects_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("selected");
    QTest::newRow("0 is the first") << 0 << "Текстовые документы (*.txt)";
    QTest::newRow("1 is the first") << 1 << "Текстовые документы (*.txt)";
    QTest::newRow("2 is the second") << 2 << "Все файлы (*.*)";
    QTest::newRow("past the end is the first") << 7 << "Текстовые документы (*.txt)";
}

void TestFileDialog::filterIndexPreselects()
{
    QFETCH(int, index);
    QFETCH(QString, selected);
    FileDialogSeen seen;
    show(0, {lookAtFileDialog(&seen, cancelFileDialog())}, QStringLiteral("x.txt"), m_dir.path(), index);
    QCOMPARE(seen.selectedFilter, selected);
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
    QVERIFY2(listed.contains(QStringLiteral("noextension")), qPrintable(listed.join(u',')));
    QVERIFY(listed.contains(QStringLiteral("list.txt")));

    listed.clear();
    show(0, {listShown}, QString(), m_dir.path(), 1);
    QCOMPARE(listed, QStringList{QStringLiteral("list.txt")});
}

void TestFileDialog::kindRules_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("fileExists");
    QTest::addColumn<int>("answerToQuestion"); // 0: no question is expected
    QTest::addColumn<bool>("returnsPath");
    // Kind 0 refuses a missing name with a message of the dialog's own.

    const int none = 0;
    const int yes = QMessageBox::Yes;
    const int no = QMessageBox::No;
    QTest::newRow("0 existing") << 0 << true << none << true;
    QTest::newRow("0 missing is refused") << 0 << false << none << false;
    QTest::newRow("1 existing") << 1 << true << none << true;
    QTest::newRow("1 missing, create: yes") << 1 << false << yes << true;
    QTest::newRow("1 missing, create: no") << 1 << false << no << false;
    QTest::newRow("2 missing") << 2 << false << none << true;
    QTest::newRow("2 existing, replace: yes") << 2 << true << yes << true;
    QTest::newRow("2 existing, replace: no") << 2 << true << no << false;
    QTest::newRow("3 existing, no question") << 3 << true << none << true;
    QTest::newRow("3 missing") << 3 << false << none << true;
}

void TestFileDialog::kindRules()
{
    QFETCH(int, kind);
    QFETCH(bool, fileExists);
    QFETCH(int, answerToQuestion);
    QFETCH(bool, returnsPath);

    if (fileExists)
        createFile(QStringLiteral("cells.txt"));
    MessageBoxSeen question;
    QList<ModalWatcher::Answer> answers{typeFileName(QStringLiteral("cells.txt"))};
    if (answerToQuestion)
        answers.append(pressButton(QMessageBox::StandardButton(answerToQuestion), &question));
    MessageBoxSeen refusal;
    if (kind == 0 && !fileExists)
        answers.append(pressButton(QMessageBox::Ok, &refusal));
    if (!returnsPath)
        answers.append(cancelFileDialog()); // the dialog is still there, or back again

    ModalWatcher watcher(answers);
    const QString chosen = ShowFileDialog(nullptr, cellListFilter, QStringLiteral("txt"), kind,
                                          QStringLiteral("VUSK"), QString(), m_dir.path(), 0);
    QVERIFY(watcher.answered());
    QCOMPARE(chosen,
             returnsPath ? QDir::toNativeSeparators(path(QStringLiteral("cells.txt"))) : QString());
    QCOMPARE(question.seen, answerToQuestion != 0);
    QCOMPARE(refusal.seen, kind == 0 && !fileExists);
    if (question.seen)
        QCOMPARE(question.icon, kind == 1 ? QMessageBox::Question : QMessageBox::Warning);
    // The dialog never creates or changes a file itself.
    QCOMPARE(QFile::exists(path(QStringLiteral("cells.txt"))), fileExists);
}

void TestFileDialog::defaultExtension_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("returned");

    QTest::newRow("open, no extension") << 0 << "btsinfo"
                                        << "btsinfo.txt";
    QTest::newRow("open, own extension") << 0 << "cells.dat"
                                         << "cells.dat";
    QTest::newRow("save, no extension") << 2 << "newlist"
                                        << "newlist.txt";
    QTest::newRow("save, own extension") << 2 << "newlist.csv"
                                         << "newlist.csv";
}

void TestFileDialog::defaultExtension()
{
    QFETCH(int, kind);
    QFETCH(QString, typed);
    QFETCH(QString, returned);

    createFile(QStringLiteral("btsinfo.txt"));
    createFile(QStringLiteral("cells.dat"));
    QCOMPARE(show(kind, {typeFileName(typed)}, QString(), m_dir.path()),
             QDir::toNativeSeparators(path(returned)));
}

void TestFileDialog::folderPartOfDefaultNameWins_data()
{
    QTest::addColumn<QString>("defaultName");
    QTest::addColumn<QString>("proposedName");

    QTest::newRow("folder and name") << "sub/btsinfo.txt"
                                     << "btsinfo.txt";
    QTest::newRow("folder only") << "sub/"
                                 << "";
}

void TestFileDialog::folderPartOfDefaultNameWins()
{
    QFETCH(QString, defaultName);
    QFETCH(QString, proposedName);

    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("sub")));
    QTemporaryDir elsewhere;
    FileDialogSeen seen;
    show(0, {lookAtFileDialog(&seen, cancelFileDialog())}, m_dir.path() + u'/' + defaultName, elsewhere.path());
    QCOMPARE(seen.folder, path(QStringLiteral("sub")));
    QCOMPARE(seen.proposedName, proposedName);
}

void TestFileDialog::emptyFolderMeansCurrentDirectory()
{
    const QString before = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
    FileDialogSeen seen;
    show(2, {lookAtFileDialog(&seen, cancelFileDialog())}, QStringLiteral("btsinfo_txt.txt"), QString());
    QDir::setCurrent(before);
    QCOMPARE(seen.folder, m_dir.path());
    QCOMPARE(seen.proposedName, QStringLiteral("btsinfo_txt.txt"));
}

void TestFileDialog::unknownKindShowsNothing_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("4") << 4;
    QTest::newRow("-1") << -1;
}

void TestFileDialog::unknownKindShowsNothing()
{
    QFETCH(int, kind);
    bool shown = false;
    ModalWatcher watcher(
        [&shown](QWidget *modal) {
            shown = true;
            modal->close();
        },
        300);
    QCOMPARE(ShowFileDialog(nullptr, cellListFilter, QStringLiteral("txt"), kind,
                            QStringLiteral("VUSK"), QStringLiteral("btsinfo.txt"), m_dir.path(), 0),
             QString());
    QTest::qWait(350);
    QVERIFY(!shown);
}

void TestFileDialog::saveAfterOpenAcceptsNewName()
{
    createFile(QStringLiteral("old.txt"));
    QCOMPARE(show(0, {typeFileName(QStringLiteral("old.txt"))}, QString(), m_dir.path()),
             QDir::toNativeSeparators(path(QStringLiteral("old.txt"))));
    QCOMPARE(show(2, {typeFileName(QStringLiteral("fresh.txt"))}, QString(), m_dir.path()),
             QDir::toNativeSeparators(path(QStringLiteral("fresh.txt"))));
}

void TestFileDialog::linksAreReturnedThemselves()
{
#ifdef Q_OS_WIN
    QSKIP("symbolic links need extra rights on Windows");
#endif
    createFile(QStringLiteral("target.txt"));
    QVERIFY(QFile::link(path(QStringLiteral("target.txt")), path(QStringLiteral("link.txt"))));
    QCOMPARE(show(0, {typeFileName(QStringLiteral("link.txt"))}, QString(), m_dir.path()),
             path(QStringLiteral("link.txt")));
}

void TestFileDialog::tooLongPathIsReported()
{
    // Three folders of 90 characters put any file in them past 255 characters.
    QString deep = m_dir.path();
    for (QChar letter : {u'a', u'b', u'c'})
        deep += u'/' + QString(90, letter);
    QVERIFY(QDir().mkpath(deep));

    MessageBoxSeen failure;
    QString chosen;
    {
        ModalWatcher watcher({typeFileName(QStringLiteral("cells.txt")),
                              pressButton(QMessageBox::Ok, &failure)});
        chosen = ShowFileDialog(nullptr, cellListFilter, QStringLiteral("txt"), 3,
                                QStringLiteral("VUSK"), QString(), deep, 0);
    }
    QCOMPARE(chosen, QString());
    QVERIFY(failure.seen);
    QCOMPARE(failure.title, QStringLiteral("VUSK"));
    QCOMPARE(failure.icon, QMessageBox::Critical);
    QCOMPARE(failure.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(failure.text.split(u'\n'), (QStringList{"Unable to get filename(s).", "",
                                                     "CommDlgExtendedError returned 12291"}));

    // A path of exactly 255 characters still fits.
    const QString base = m_dir.path() + u'/';
    const QString name = QString(255 - base.size() - 4, u'n') + QStringLiteral(".txt");
    QCOMPARE(show(3, {typeFileName(name)}, QString(), m_dir.path()),
             QDir::toNativeSeparators(base + name));
}

QTEST_MAIN(TestFileDialog)
#include "tst_filedialog.moc"
