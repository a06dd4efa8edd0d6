#include "celllistfile.h"
#include "celllistmodel.h"
#include "celllistreading.h"
#include "dialoganswers.h"
#include "frminfo.h"
#include "frmmain.h"
#include "programfolder.h"

#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSaveFile>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

using vusk::CellListReading;
using vusk::frmMain;

namespace {

QByteArray numberedLines(int count)
{
    QByteArray bytes;
    for (int i = 1; i <= count; ++i)
        bytes += "0x" + QByteArray::number(i, 16).toUpper() + "\t1\tline " + QByteArray::number(i) +
                 "\r\n";
    return bytes;
}

QStringList numberedEntries(int from, int to)
{
    QStringList entries;
    for (int i = from; i <= to; ++i)
        entries.append(
            QStringLiteral("0x%1\t1\tline %2").arg(QString::number(i, 16).toUpper()).arg(i));
    return entries;
}

const QString mine = QStringLiteral("0xF\t9\tmine");

const QString cutNotice = QStringLiteral("Прочитаны только первые 2000 строк файла.");
const QString waitNotice = QStringLiteral("Дождитесь окончания чтения предыдущего файла.");

} // namespace

class TestFileFlows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void dialogsAskAsDescribed();
    void opening_data();
    void opening();
    void everyByteRoundTrips();
    void saving_data();
    void saving();
    void duringARead_data();
    void duringARead();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    void writeFile(const QString &name, const QByteArray &bytes);
    QByteArray readFile(const QString &name) const;
    QStringList entries() const { return m_window->cellList().entries(); }
    // Chooses a file through the menu item's dialog, answers what follows from the
    // script, and returns once any read it started has ended.
    void chooseFile(const char *action, const QList<ModalWatcher::Answer> &answers);
    void waitForReadEnd();
    bool mountSmallDisk(const QString &mountPoint);

    QTemporaryDir m_dir;
    std::unique_ptr<frmMain> m_window;
    QString m_mountPoint;
};

void TestFileFlows::initTestCase()
{
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QVERIFY(m_dir.isValid());
}

void TestFileFlows::init()
{
    // A file left open by a read makes the next one fail with this warning.
    QTest::failOnWarning(QRegularExpression(QStringLiteral("already open")));
    m_window = std::make_unique<frmMain>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestFileFlows::cleanup()
{
    m_window.reset();
    if (!m_mountPoint.isEmpty())
        QProcess::execute(QStringLiteral("umount"), {m_mountPoint});
    m_mountPoint.clear();
    QDir(m_dir.path()).removeRecursively();
    QDir().mkpath(m_dir.path());
}

void TestFileFlows::writeFile(const QString &name, const QByteArray &bytes)
{
    QFile file(path(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray TestFileFlows::readFile(const QString &name) const
{
    QFile file(path(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void TestFileFlows::waitForReadEnd()
{
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->cellListReading().isReading(), 60000);
}

void TestFileFlows::chooseFile(const char *action, const QList<ModalWatcher::Answer> &answers)
{
    ModalWatcher watcher(answers);
    triggerAction(m_window.get(), QLatin1String(action));
    waitForReadEnd();
    QVERIFY2(watcher.answered(), "a window the test expected did not open");
    QVERIFY2(watcher.unexpected().isEmpty(), qPrintable(watcher.unexpected().join(u'\n')));
}

// A disk of our own, small enough to fill and able to turn read-only even for root.
bool TestFileFlows::mountSmallDisk(const QString &mountPoint)
{
    QDir().mkpath(mountPoint);
    if (QProcess::execute(QStringLiteral("mount"),
                          {"-t", "tmpfs", "-o", "size=64k", "tmpfs", mountPoint}) != 0)
        return false;
    m_mountPoint = mountPoint;
    return true;
}

void TestFileFlows::dialogsAskAsDescribed()
{
    m_window->cellList().append(mine);
    const QString folder = QDir(vusk::cellListFolder()).absolutePath();
    const QStringList filters{"Текстовые документы (*.txt)", "Все файлы (*.*)"};
    const std::pair<const char *, const char *> triggers[] = {
        {"mnuFileOpen", "VUSK: Открытие файла|btsinfo.txt"},
        {"mnuFileSaveAs", "VUSK: Сохранение файла|btsinfo_txt.txt"},
        {"imgSaveToFile", "VUSK: Сохранение файла|btsinfo_txt.txt"}};
    for (const auto &[trigger, titleAndName] : triggers) {
        FileDialogSeen seen;
        ModalWatcher watcher(lookAtFileDialog(&seen, cancelFileDialog()));
        if (QByteArray(trigger).startsWith("img"))
            QTest::mouseClick(m_window->findChild<QLabel *>(QLatin1String(trigger)),
                              Qt::LeftButton);
        else
            triggerAction(m_window.get(), QLatin1String(trigger));
        QVERIFY2(seen.seen, trigger);
        QCOMPARE(seen.title + u'|' + seen.proposedName, QString::fromUtf8(titleAndName));
        QCOMPARE(seen.folder, folder);
        QCOMPARE(seen.filters, filters);
        QCOMPARE(seen.acceptMode, QByteArray(trigger) == "mnuFileOpen" ? QFileDialog::AcceptOpen
                                                                       : QFileDialog::AcceptSave);
    }
    // Cancelling changes nothing.
    QCOMPARE(entries(), QStringList{mine});
    QVERIFY(QDir(m_dir.path()).isEmpty());
}

void TestFileFlows::opening_data()
{
    QTest::addColumn<QString>("kind"); // what the chosen name is on disk
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines"); // added by one opening
    QTest::addColumn<QString>("message");   // told after each opening, "" for none

    QTest::newRow("empty file") << "file" << QByteArray() << QStringList() << "";
    QTest::newRow("CR LF or CR ends a line, LF alone does not")
        << "file" << QByteArray("0x1\t1\ta\r\n0x2\t2\tb\rc\nd")
        << QStringList{"0x1\t1\ta", "0x2\t2\tb", "c\nd"} << "";
    QTest::newRow("empty and malformed lines stay")
        << "file" << QByteArray("x\r\n\r\nno tabs at all\r\n\t\t\r\n\r\n")
        << QStringList{"x", "", "no tabs at all", "\t\t", ""} << "";
    QTest::newRow("Cyrillic") << "file" << QByteArray("0x1\t1\t\xCE\xEF\xE8\xF1\xE0\xED\xE8\xE5")
                              << QStringList{"0x1\t1\tОписание"} << "";
    QTest::newRow("2000 lines") << "file" << numberedLines(2000) << numberedEntries(1, 2000) << "";
    QTest::newRow("2001 lines: the first 2000, and a notice")
        << "file" << numberedLines(2001) << numberedEntries(1, 2000) << cutNotice;
    QTest::newRow("2000 lines, then one too long: still the notice")
        << "file" << numberedLines(2000) + QByteArray(1100 * 1024, 'x') << numberedEntries(1, 2000)
        << cutNotice;
    const QString failed = QStringLiteral("Не удалось прочитать файл %1:\n");
    QTest::newRow("line over 1 MiB after two lines")
        << "file" << QByteArray("a\r\nb\r\n") + QByteArray(1536 * 1024, 'x') + "\r\nc"
        << QStringList{"a", "b"}
        << failed + "строка длиннее 1048576 байт — похоже, это не список сот.";
    QTest::newRow("3 MiB without a line end") << "file" << QByteArray(3 << 20, 'z') << QStringList{}
                                              << failed + "строка длиннее 1048576 байт";
    QTest::newRow("named pipe: refused at once")
        << "fifo" << QByteArray() << QStringList{} << failed + "это не обычный файл.";
    QTest::newRow("gone after the dialog")
        << "vanishing" << QByteArray("a\r\n") << QStringList{} << failed + "файл не найден";
}

void TestFileFlows::opening()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QFETCH(QString, message);

    const QString file = path(QStringLiteral("cells.txt"));
    if (kind == "fifo") {
#ifdef Q_OS_UNIX
        QCOMPARE(mkfifo(QFile::encodeName(file).constData(), 0600), 0);
#else
        QSKIP("named pipes are not files here");
#endif
    } else {
        writeFile(QStringLiteral("cells.txt"), bytes);
    }
    m_window->cellList().append(mine);
    QStringList expected{mine};
    for (int opening = 1; opening <= 2; ++opening) { // each opening counts its own lines
        MessageBoxSeen told;
        QList<ModalWatcher::Answer> answers{typeFileName(file)};
        if (kind == "vanishing") // between the dialog and the read
            answers = {[file](QWidget *dialog) {
                connect(qobject_cast<QDialog *>(dialog), &QDialog::accepted,
                        [file] { QFile::remove(file); });
                typeFileName(file)(dialog);
            }};
        if (!message.isEmpty())
            answers.append(pressButton(QMessageBox::Ok, &told));
        chooseFile("mnuFileOpen", answers);
        expected += lines;
        QCOMPARE(entries(), expected);
        QCOMPARE(m_window->cellList().rowCount(), expected.size()); // all on screen
        QCOMPARE(told.seen, !message.isEmpty());
        if (message.isEmpty())
            continue;
        QVERIFY2(
            told.text.startsWith(QString(message).replace("%1", QDir::toNativeSeparators(file))),
            qPrintable(told.text));
        const bool notice = message == cutNotice;
        QCOMPARE(told.title, notice ? QStringLiteral("Информация") : QStringLiteral("VUSK"));
        QCOMPARE(told.icon, notice ? QMessageBox::Information : QMessageBox::Critical);
        if (kind == "vanishing")
            writeFile(QStringLiteral("cells.txt"), bytes);
    }
}

void TestFileFlows::everyByteRoundTrips()
{
    QByteArray bytes;
    for (int line = 0; line < 2; ++line) {
        for (int value = line * 128; value < (line + 1) * 128; ++value)
            if (value != '\r' && value != '\n')
                bytes += char(value);
        bytes += "\r\n";
    }
    writeFile(QStringLiteral("all-bytes.txt"), bytes);
    chooseFile("mnuFileOpen", {typeFileName(path(QStringLiteral("all-bytes.txt")))});
    QCOMPARE(entries().size(), 2);
    chooseFile("mnuFileSaveAs", {typeFileName(path(QStringLiteral("copy.txt")))});
    QCOMPARE(readFile(QStringLiteral("copy.txt")), bytes);
}

void TestFileFlows::saving_data()
{
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QString>("setUp");   // what is on disk before
    QTest::addColumn<QString>("typed");   // in the dialog; "" cancels it
    QTest::addColumn<bool>("asked");      // whether to replace a file (answered yes)
    QTest::addColumn<QString>("written"); // the file that holds the list afterwards
    QTest::addColumn<QString>("kept");    // a file that still holds what it held
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<int>("icon"); // of the message told
    QTest::addColumn<QString>("message");

    const QStringList two{"0x1A2B\t62\tX", "0xF\t\tОписание"};
    const int none = QMessageBox::NoIcon;
    const int error = QMessageBox::Critical;
    const QString failed = QStringLiteral("Не удалось сохранить файл %1:\n");
    const QString notCp1251 =
        QStringLiteral("Запись %2 содержит символы, которых нет в кодировке Windows-1251. "
                       "Файл не сохранён.");
    QTest::newRow("own extension") << two << ""
                                   << "cells.dat" << false << "cells.dat"
                                   << "" << QStringList{"cells.dat"} << none << "";
    QTest::newRow("extension added") << two << ""
                                     << "cells" << false << "cells.txt"
                                     << "" << QStringList{"cells.txt"} << none << "";
    QTest::newRow("a longer former file is replaced whole")
        << two << "cells.txt"
        << "cells.txt" << true << "cells.txt"
        << "" << QStringList{"cells.txt"} << none << "";
    QTest::newRow("cancel writes nothing") << two << ""
                                           << "" << false << ""
                                           << "" << QStringList{} << none << "";
#ifndef Q_OS_WIN // where names cannot end in a blank, the blanks are cut off
    QTest::newRow("a blank at the end belongs to the name")
        << two << "cells.txt"
        << "cells.txt " << false << "cells.txt "
        << "cells.txt" << QStringList{"cells.txt", "cells.txt "} << none << "";
#endif
    QTest::newRow("a link stays a link, its target is written")
        << two << "link"
        << "link.txt" << true << "target.txt"
        << "" << QStringList{"link.txt", "target.txt"} << none << "";
    QTest::newRow("character outside Windows-1251")
        << QStringList{"0x1\t1\tfine", "0x2\t2\tcafé"} << ""
        << "cells.txt" << false << ""
        << "" << QStringList{} << int(QMessageBox::Warning) << notCp1251.arg(2);
    QTest::newRow("U+0080 is not in Windows-1251")
        << QStringList{QString(QChar(0x80))} << ""
        << "cells.txt" << false << ""
        << "" << QStringList{} << int(QMessageBox::Warning) << notCp1251.arg(1);
    QTest::newRow("named pipe is not replaced")
        << two << "fifo"
        << "pipe.txt" << true << ""
        << "" << QStringList{"pipe.txt"} << error << failed + "это не обычный файл.";
    const QStringList big(20, QString(5000, u'e'));
    QTest::newRow("full disk keeps the former file")
        << big << "full"
        << "disk/cells.txt" << true << ""
        << "disk/cells.txt" << QStringList{} << error << failed + "на диске не хватает места (";
    QTest::newRow("read-only disk keeps the former file")
        << big << "read-only"
        << "disk/cells.txt" << true << ""
        << "disk/cells.txt" << QStringList{} << error
        << failed + "диск доступен только для чтения (";
    QTest::newRow("a failure at the last step is reported")
        << two << "commit fails"
        << "cells.txt" << false << ""
        << "" << QStringList{} << error << failed + "ошибка записи на диск (disk gone)";
    QTest::newRow("empty list: a question, no dialog")
        << QStringList{} << ""
        << "<no dialog>" << false << ""
        << "" << QStringList{} << int(QMessageBox::Question) << "Может сперва что-нибудь добавим?";
}

void TestFileFlows::saving()
{
    QFETCH(QStringList, list);
    QFETCH(QString, setUp);
    QFETCH(QString, typed);
    QFETCH(bool, asked);
    QFETCH(QString, written);
    QFETCH(QString, kept);
    QFETCH(QStringList, files);
    QFETCH(int, icon);
    QFETCH(QString, message);

    const QByteArray former = numberedLines(3);
    const auto ownerReadWrite = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    if (setUp == "cells.txt") {
        writeFile(setUp, former);
    } else if (setUp == "link") {
        writeFile(QStringLiteral("target.txt"), former);
        QFile::setPermissions(path(QStringLiteral("target.txt")), ownerReadWrite);
        if (!hasSymbolicLinks() ||
            !QFile::link(path(QStringLiteral("target.txt")), path(QStringLiteral("link.txt"))))
            QSKIP("no symbolic links here");
    } else if (setUp == "fifo") {
#ifdef Q_OS_UNIX
        QCOMPARE(mkfifo(QFile::encodeName(path(typed)).constData(), 0600), 0);
#else
        QSKIP("named pipes are not files here");
#endif
    } else if (setUp == "full" || setUp == "read-only") {
        if (!mountSmallDisk(path(QStringLiteral("disk"))))
            QSKIP("cannot mount a small disk here");
        writeFile(kept, former);
        if (setUp == "read-only")
            QCOMPARE(QProcess::execute(QStringLiteral("mount"),
                                       {"-o", "remount,ro", path(QStringLiteral("disk"))}),
                     0);
    }
    for (const QString &entry : list)
        m_window->cellList().append(entry);
    const vusk::CommitStep failing = [](QSaveFile &, QString *error) {
        *error = QStringLiteral("disk gone");
        return false;
    };
    const vusk::CommitStep commit =
        vusk::setCommitStep(setUp == "commit fails" ? failing : nullptr);
    const auto restoreCommit = qScopeGuard([commit] { vusk::setCommitStep(commit); });

    QList<ModalWatcher::Answer> answers;
    MessageBoxSeen question, told;
    if (typed.isEmpty())
        answers.append(cancelFileDialog());
    else if (typed != "<no dialog>")
        answers.append(typeFileName(path(typed)));
    if (asked)
        answers.append(pressButton(QMessageBox::Yes, &question));
    if (!message.isEmpty())
        answers.append(pressButton(QMessageBox::Ok, &told));
    {
        ModalWatcher watcher(answers);
        QTest::mouseClick(m_window->findChild<QLabel *>(QStringLiteral("imgSaveToFile")),
                          Qt::LeftButton);
        QVERIFY2(watcher.answered(), "a window the test expected did not open");
        QVERIFY2(watcher.unexpected().isEmpty(), qPrintable(watcher.unexpected().join(u'\n')));
    }
    QCOMPARE(question.seen, asked);
    QCOMPARE(told.seen, !message.isEmpty());
    if (told.seen)
        QVERIFY2(told.text.startsWith(
                     QString(message).replace("%1", QDir::toNativeSeparators(path(typed)))),
                 qPrintable(told.text));
    QCOMPARE(int(told.icon), icon);
    const QMap<int, QString> titles{{QMessageBox::Critical, "VUSK"},
                                    {QMessageBox::Warning, "Предупреждение"},
                                    {QMessageBox::Question, "Информация"}};
    QCOMPARE(told.title, titles.value(icon));

    // The list is never touched, and only the file written changes.
    QCOMPARE(entries(), list);
    if (!written.isEmpty())
        QCOMPARE(readFile(written), QByteArray::fromHex("3078314132420936320958"
                                                        "0D0A3078460909CEEFE8F1E0EDE8E50D0A"));
    if (!kept.isEmpty())
        QCOMPARE(readFile(kept), former);
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::System), files);
    if (!m_mountPoint.isEmpty())
        QCOMPARE(QDir(m_mountPoint).entryList(QDir::Files), QStringList{"cells.txt"});
    if (setUp == "link") {
        QVERIFY(QFileInfo(path(QStringLiteral("link.txt"))).isSymLink());
        // The "user" bits only repeat the owner's for the process that asks.
        QCOMPARE(QFile::permissions(path(QStringLiteral("target.txt"))) &
                     ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
                 ownerReadWrite);
    }
#ifdef Q_OS_UNIX
    struct stat info;
    if (setUp == "fifo")
        QVERIFY(stat(QFile::encodeName(path(typed)).constData(), &info) == 0 &&
                S_ISFIFO(info.st_mode));
#endif
}

void TestFileFlows::duringARead_data()
{
    QTest::addColumn<QString>("action"); // what the user does once ten lines are in
    QTest::addColumn<QString>("typed");  // in the dialog that action opens
    QTest::addColumn<QString>("told");   // the message it brings, or "" for none
    QTest::addColumn<bool>("saved");     // a file holds the list as it stood

    const QList<QStringList> rows{
        {"adding an entry", "add", "", ""},
        {"a message box holds the read", "mnuEditDelete", "", "Выберите строку для удаления!"},
        {"the Information window holds the read", "mnuFileInformation", "", ""},
        {"a second opening adds nothing", "mnuFileOpen", "other.txt", waitNotice},
        {"saving elsewhere", "mnuFileSaveAs", "saved.txt", ""},
        {"saving onto the file being read is refused", "mnuFileSaveAs", "long.txt", waitNotice},
        {"saving onto a link to it too", "mnuFileSaveAs", "link.txt", waitNotice},
        {"exit ends the read at once", "mnuFileExit", "", ""}};
    for (const QStringList &row : rows)
        QTest::newRow(qPrintable(row.at(0)))
            << row.at(1) << row.at(2) << row.at(3) << (row.at(2) == "saved.txt");
}

void TestFileFlows::duringARead()
{
    QFETCH(QString, action);
    QFETCH(QString, typed);
    QFETCH(QString, told);
    QFETCH(bool, saved);

    const QByteArray whole = numberedLines(2000);
    writeFile(QStringLiteral("long.txt"), whole);
    writeFile(QStringLiteral("other.txt"), "other\r\n");
    if (typed == "link.txt" && !hasSymbolicLinks())
        QSKIP("no symbolic links here");
    QFile::link(path(QStringLiteral("long.txt")), path(QStringLiteral("link.txt")));
    // A window that opens holds the read: nothing is added while it stands, and the
    // list shows every entry it has.
    qsizetype countWhileOpen = -1;
    QString shown;
    auto hold = [&](QWidget *modal) {
        countWhileOpen = m_window->cellList().count();
        QCOMPARE(m_window->cellList().rowCount(), countWhileOpen);
        QSignalSpy lines(&m_window->cellListReading(), &CellListReading::lineRead);
        QVERIFY(!lines.wait(150));
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            shown = box->text();
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        } else {
            shown = modal->findChild<QLabel *>(QStringLiteral("lblBTSCount"))->text();
            QTest::mouseClick(modal->findChild<QPushButton *>(QStringLiteral("cmdClose")),
                              Qt::LeftButton);
        }
    };
    QList<ModalWatcher::Answer> answers;
    if (!typed.isEmpty())
        answers.append(typeFileName(path(typed)));
    if (typed == "long.txt" || typed == "link.txt")
        answers.append(pressButton(QMessageBox::Yes)); // replace it? yes
    if (!told.isEmpty() || action == "mnuFileInformation")
        answers.append(ModalWatcher::Answer(hold, action == "mnuFileInformation"
                                                      ? &vusk::frmInfo::staticMetaObject
                                                      : &QMessageBox::staticMetaObject));
    // The user acts between two lines of the read, once ten lines are in.
    qsizetype countWhenSaved = -1;
    bool readingWhenActed = false;
    bool readingAfterwards = false;
    std::unique_ptr<ModalWatcher> watcher;
    auto act = [&] {
        readingWhenActed = m_window->cellListReading().isReading();
        watcher = std::make_unique<ModalWatcher>(answers);
        if (action == "add") {
            m_window->findChild<QLineEdit *>(QStringLiteral("txtCellID"))->setText("255");
            QTest::mouseClick(m_window->findChild<QLabel *>(QStringLiteral("imgAddToFile")),
                              Qt::LeftButton);
        } else {
            triggerAction(m_window.get(), action);
        }
        countWhenSaved = m_window->cellList().count();
        readingAfterwards = m_window->cellListReading().isReading();
    };
    connect(&m_window->cellListReading(), &CellListReading::lineRead, this, [&] {
        if (m_window->cellList().count() == 10)
            QTimer::singleShot(0, this, act);
    });
    {
        ModalWatcher opening(typeFileName(path(QStringLiteral("long.txt"))));
        triggerAction(m_window.get(), QStringLiteral("mnuFileOpen"));
    }
    QTRY_VERIFY_WITH_TIMEOUT(countWhenSaved >= 0, 60000);
    QVERIFY(readingWhenActed);
    QVERIFY(watcher->answered());
    if (action == "mnuFileExit") { // the window is gone, and nothing more is read
        QVERIFY(!m_window->isVisible() && !readingAfterwards);
        QVERIFY(!QSignalSpy(&m_window->cellListReading(), &CellListReading::lineRead).wait(100));
        QCOMPARE(entries(), numberedEntries(1, int(countWhenSaved)));
        return;
    }
    QVERIFY(readingAfterwards); // the read goes on
    waitForReadEnd();

    QStringList all = entries();
    if (action == "add") {
        const qsizetype added = all.indexOf(QStringLiteral("0xFF\t\t"));
        QVERIFY2(added >= 10 && added < 2000, qPrintable(QString::number(added)));
        all.removeAt(added);
    }
    QCOMPARE(all, numberedEntries(1, 2000));
    QCOMPARE(shown, action == "mnuFileInformation" ? QString::number(countWhileOpen) : told);
    QCOMPARE(readFile(QStringLiteral("long.txt")), whole);
    if (saved) {
        QVERIFY(countWhenSaved < 2000);
        QCOMPARE(readFile(typed), numberedLines(int(countWhenSaved)));
    }
}

QTEST_MAIN(TestFileFlows)
#include "tst_fileflows.moc"
