#include "celllistmodel.h"
#include "celllistreading.h"
#include "dialoganswers.h"
#include "frmmain.h"
#include "programfolder.h"

#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

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

// Records any message box it is handed, and closes it.
ModalWatcher::Answer recordMessage(MessageBoxSeen *seen)
{
    return pressButton(QMessageBox::Ok, seen);
}

} // namespace

class TestFileFlows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void openAppendsLines_data();
    void openAppendsLines();
    void openDialogAsksAsDescribed();
    void readLimit_data();
    void readLimit();
    void readFailures_data();
    void readFailures();
    void vanishedFileIsReported();
    void hugeFileWithoutLineEndsStops();

    void emptyListIsRefused_data();
    void emptyListIsRefused();
    void saveWritesEntriesAsBytes_data();
    void saveWritesEntriesAsBytes();
    void saveReplacesLongerFile();
    void cancelChangesNothing();
    void everyByteRoundTrips();
    void characterOutsideCodePageIsNotSaved();
    void saveFailureIsReported();
    void failedSaveKeepsFormerFile_data();
    void failedSaveKeepsFormerFile();

    void userActionsRunBetweenLines();
    void modalWindowHoldsTheRead();
    void informationWindowMidReadHoldsTheRead();
    void secondOpenDuringReadAddsNothing();
    void saveDuringReadKeepsReading_data();
    void saveDuringReadKeepsReading();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    void writeFile(const QString &name, const QByteArray &bytes);
    QByteArray readFile(const QString &name) const;
    QStringList entries() { return m_window->cellList().entries(); }
    // Opens the file through the menu and its dialog; answers for any further
    // windows follow the dialog's. Returns once the read has ended.
    void openFile(const QString &file, QList<ModalWatcher::Answer> then = {});
    void startReading(const QString &file);
    void waitForReadEnd();
    void save(const QString &file, QList<ModalWatcher::Answer> then = {});
    void addEntry(const QString &cellId, const QString &channel, const QString &location);

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
    for (const QString &name : QDir(m_dir.path()).entryList(QDir::Files))
        QFile::remove(path(name));
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

void TestFileFlows::startReading(const QString &file)
{
    ModalWatcher watcher(typeFileName(file));
    triggerAction(m_window.get(), QStringLiteral("mnuFileOpen"));
    QVERIFY(watcher.answered());
}

void TestFileFlows::waitForReadEnd()
{
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->cellListReading().isReading(), 20000);
}

void TestFileFlows::openFile(const QString &file, QList<ModalWatcher::Answer> then)
{
    then.prepend(typeFileName(file));
    ModalWatcher watcher(then);
    triggerAction(m_window.get(), QStringLiteral("mnuFileOpen"));
    waitForReadEnd();
    QVERIFY2(watcher.answered(), "a window the test expected did not open");
    QVERIFY2(watcher.unexpected().isEmpty(), qPrintable(watcher.unexpected().join(u'\n')));
}

void TestFileFlows::save(const QString &file, QList<ModalWatcher::Answer> then)
{
    then.prepend(typeFileName(file));
    ModalWatcher watcher(then);
    triggerAction(m_window.get(), QStringLiteral("mnuFileSaveAs"));
    QVERIFY2(watcher.answered(), "a window the test expected did not open");
    QVERIFY2(watcher.unexpected().isEmpty(), qPrintable(watcher.unexpected().join(u'\n')));
}

void TestFileFlows::addEntry(const QString &cellId, const QString &channel, const QString &location)
{
    for (const char *name : {"txtCellID", "txtChannel", "txtLocation"})
        m_window->findChild<QLineEdit *>(QLatin1String(name))->clear();
    typeText(m_window->findChild<QLineEdit *>(QStringLiteral("txtCellID")), cellId);
    typeText(m_window->findChild<QLineEdit *>(QStringLiteral("txtChannel")), channel);
    typeText(m_window->findChild<QLineEdit *>(QStringLiteral("txtLocation")), location);
    QTest::mouseClick(m_window->findChild<QLabel *>(QStringLiteral("imgAddToFile")),
                      Qt::LeftButton);
}

void TestFileFlows::openAppendsLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("empty file") << QByteArray() << QStringList();
    QTest::newRow("CR LF") << QByteArray("0x1\t1\ta\r\n0x2\t2\tb\r\n")
                           << QStringList{"0x1\t1\ta", "0x2\t2\tb"};
    QTest::newRow("no final line end") << QByteArray("a\r\nb") << QStringList{"a", "b"};
    QTest::newRow("CR only") << QByteArray("a\rb\r") << QStringList{"a", "b"};
    QTest::newRow("LF only is one entry") << QByteArray("a\nb\n") << QStringList{"a\nb\n"};
    QTest::newRow("empty and malformed lines stay")
        << QByteArray("x\r\n\r\nno tabs at all\r\n\t\t\r\n")
        << QStringList{"x", "", "no tabs at all", "\t\t"};
    QTest::newRow("empty last entry") << QByteArray("a\r\n\r\n") << QStringList{"a", ""};
    QTest::newRow("Cyrillic") << QByteArray("0x1\t1\t\xCE\xEF\xE8\xF1\xE0\xED\xE8\xE5\r\n")
                              << QStringList{"0x1\t1\tОписание"};
}

void TestFileFlows::openAppendsLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);

    writeFile(QStringLiteral("cells.txt"), bytes);
    addEntry(QStringLiteral("15"), QStringLiteral("9"), QStringLiteral("mine"));
    QLineEdit *location = m_window->findChild<QLineEdit *>(QStringLiteral("txtLocation"));

    openFile(path(QStringLiteral("cells.txt")));
    QCOMPARE(entries(), QStringList{QStringLiteral("0xF\t9\tmine")} + lines);
    QString count;
    {
        ModalWatcher watcher([&count](QWidget *modal) {
            count = modal->findChild<QLabel *>(QStringLiteral("lblBTSCount"))->text();
            modal->close();
        });
        triggerAction(m_window.get(), QStringLiteral("mnuFileInformation"));
    }
    QCOMPARE(count, QString::number(1 + lines.size()));
    QCOMPARE(m_window->cellList().rowCount(), entries().size()); // all on screen
    // Appending neither selects nor touches the boxes.
    QCOMPARE(location->text(), QStringLiteral("mine"));

    // The same file again lists its lines twice.
    openFile(path(QStringLiteral("cells.txt")));
    QCOMPARE(entries(), QStringList{QStringLiteral("0xF\t9\tmine")} + lines + lines);
}

void TestFileFlows::openDialogAsksAsDescribed()
{
    FileDialogSeen open;
    {
        ModalWatcher openWatcher(lookAtFileDialog(&open, cancelFileDialog()));
        triggerAction(m_window.get(), QStringLiteral("mnuFileOpen"));
    }
    QCOMPARE(open.title, QStringLiteral("VUSK: Открытие файла"));
    QCOMPARE(open.proposedName, QStringLiteral("btsinfo.txt"));
    QCOMPARE(open.folder, QDir(vusk::cellListFolder()).absolutePath());
    QCOMPARE(open.filters, (QStringList{"Текстовые документы (*.txt)", "Все файлы (*.*)"}));
    QCOMPARE(open.acceptMode, QFileDialog::AcceptOpen);

    addEntry(QStringLiteral("1"), QString(), QString());
    for (const char *trigger : {"mnuFileSaveAs", "imgSaveToFile"}) {
        FileDialogSeen saving;
        ModalWatcher saveWatcher(lookAtFileDialog(&saving, cancelFileDialog()));
        if (QByteArray(trigger).startsWith("img"))
            QTest::mouseClick(m_window->findChild<QLabel *>(QLatin1String(trigger)),
                              Qt::LeftButton);
        else
            triggerAction(m_window.get(), QLatin1String(trigger));
        QCOMPARE(saving.title, QStringLiteral("VUSK: Сохранение файла"));
        QCOMPARE(saving.proposedName, QStringLiteral("btsinfo_txt.txt"));
        QCOMPARE(saving.folder, open.folder);
        QCOMPARE(saving.filters, open.filters);
        QCOMPARE(saving.acceptMode, QFileDialog::AcceptSave);
    }
}

void TestFileFlows::readLimit_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<bool>("toldCut");

    QTest::newRow("2000 lines") << 2000 << false;
    QTest::newRow("2001 lines") << 2001 << true;
}

void TestFileFlows::readLimit()
{
    QFETCH(int, lines);
    QFETCH(bool, toldCut);

    writeFile(QStringLiteral("long.txt"), numberedLines(lines));
    for (int opening = 1; opening <= 2; ++opening) {
        MessageBoxSeen told;
        openFile(path(QStringLiteral("long.txt")),
                 toldCut ? QList<ModalWatcher::Answer>{recordMessage(&told)}
                         : QList<ModalWatcher::Answer>{});
        QCOMPARE(told.seen, toldCut);
        if (toldCut) {
            QCOMPARE(told.text, QStringLiteral("Прочитаны только первые 2000 строк файла."));
            QCOMPARE(told.title, QStringLiteral("Информация"));
            QCOMPARE(told.icon, QMessageBox::Information);
        }
        // Every opening counts its own 2000.
        QCOMPARE(entries().size(), 2000 * opening);
        QCOMPARE(entries().mid(2000 * (opening - 1)), numberedEntries(1, 2000));
    }
}

void TestFileFlows::readFailures_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("linesKept");

    QTest::newRow("line over 1 MiB after two lines")
        << "long-line.txt" << QByteArray("a\r\nb\r\n") + QByteArray(1536 * 1024, 'x') + "\r\nc"
        << 2;
}

void TestFileFlows::readFailures()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(int, linesKept);

    writeFile(file, bytes);
    file = path(file);
    MessageBoxSeen error;
    openFile(file, {recordMessage(&error)});
    QCOMPARE(entries().size(), linesKept);
    QVERIFY(error.seen);
    QCOMPARE(error.title, QStringLiteral("VUSK"));
    QCOMPARE(error.icon, QMessageBox::Critical);
    QVERIFY2(error.text.startsWith(QStringLiteral("Не удалось прочитать файл ") +
                                   QDir::toNativeSeparators(file) + u':'),
             qPrintable(error.text));
    QVERIFY(error.text.section(u'\n', 1).size() > 2); // a reason follows
}

void TestFileFlows::vanishedFileIsReported()
{
    writeFile(QStringLiteral("gone.txt"), "a\r\n");
    const QString gone = path(QStringLiteral("gone.txt"));
    MessageBoxSeen error;
    auto removeOnAccept = [gone](QWidget *modal) {
        // Gone between the dialog and the read.
        connect(qobject_cast<QDialog *>(modal), &QDialog::accepted,
                [gone] { QFile::remove(gone); });
        typeFileName(gone)(modal);
    };
    ModalWatcher watcher({removeOnAccept, recordMessage(&error)});
    triggerAction(m_window.get(), QStringLiteral("mnuFileOpen"));
    QVERIFY(watcher.answered());
    QVERIFY(entries().isEmpty());
    QVERIFY(!m_window->cellListReading().isReading());
    QVERIFY(error.text.startsWith(QStringLiteral("Не удалось прочитать файл ") +
                                  QDir::toNativeSeparators(gone)));
}

void TestFileFlows::hugeFileWithoutLineEndsStops()
{
    {
        QFile file(path(QStringLiteral("huge.bin")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QByteArray chunk(1 << 20, 'z');
        for (int i = 0; i < 100; ++i)
            QCOMPARE(file.write(chunk), chunk.size());
    }
    MessageBoxSeen error;
    openFile(path(QStringLiteral("huge.bin")), {recordMessage(&error)});
    QVERIFY(error.seen);
    QVERIFY(entries().isEmpty());
}

void TestFileFlows::emptyListIsRefused_data()
{
    QTest::addColumn<QString>("trigger");
    QTest::newRow("menu") << "mnuFileSaveAs";
    QTest::newRow("picture") << "imgSaveToFile";
}

void TestFileFlows::emptyListIsRefused()
{
    QFETCH(QString, trigger);
    MessageBoxSeen refused;
    ModalWatcher watcher(recordMessage(&refused));
    if (trigger.startsWith(u'i'))
        QTest::mouseClick(m_window->findChild<QLabel *>(trigger), Qt::LeftButton);
    else
        triggerAction(m_window.get(), trigger);
    QVERIFY(refused.seen); // the message, not a dialog
    QCOMPARE(refused.text, QStringLiteral("Может сперва что-нибудь добавим?"));
    QCOMPARE(refused.title, QStringLiteral("Информация"));
    QCOMPARE(refused.icon, QMessageBox::Question);
    QCOMPARE(refused.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(QDir(m_dir.path()).isEmpty());
}

void TestFileFlows::saveWritesEntriesAsBytes_data()
{
    QTest::addColumn<QString>("typedName");
    QTest::addColumn<QString>("writtenName");
    QTest::newRow("own extension") << "cells.txt"
                                   << "cells.txt";
    QTest::newRow("extension added") << "cells"
                                     << "cells.txt";
}

void TestFileFlows::saveWritesEntriesAsBytes()
{
    QFETCH(QString, typedName);
    QFETCH(QString, writtenName);

    addEntry(QStringLiteral("6699"), QStringLiteral("62"), QStringLiteral("X"));
    addEntry(QStringLiteral("15"), QString(), QStringLiteral("Описание"));
    save(path(typedName));
    QCOMPARE(readFile(writtenName), QByteArray::fromHex("3078314132420936320958"
                                                        "0D0A"
                                                        "307846"
                                                        "0909"
                                                        "CEEFE8F1E0EDE8E5"
                                                        "0D0A"));
}

void TestFileFlows::saveReplacesLongerFile()
{
    writeFile(QStringLiteral("cells.txt"), numberedLines(10));
    addEntry(QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("only"));
    MessageBoxSeen replace;
    save(path(QStringLiteral("cells.txt")), {pressButton(QMessageBox::Yes, &replace)});
    QVERIFY(replace.seen);
    QCOMPARE(readFile(QStringLiteral("cells.txt")), QByteArray("0x1\t1\tonly\r\n"));
}

void TestFileFlows::cancelChangesNothing()
{
    writeFile(QStringLiteral("cells.txt"), "a\r\n");
    addEntry(QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("kept"));
    for (const char *trigger : {"mnuFileOpen", "mnuFileSaveAs"}) {
        ModalWatcher watcher(cancelFileDialog());
        triggerAction(m_window.get(), QLatin1String(trigger));
        QVERIFY(watcher.answered());
    }
    QCOMPARE(entries(), QStringList{QStringLiteral("0x1\t1\tkept")});
    QCOMPARE(readFile(QStringLiteral("cells.txt")), QByteArray("a\r\n"));
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("cells.txt")});
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
    openFile(path(QStringLiteral("all-bytes.txt")));
    QCOMPARE(entries().size(), 2);
    save(path(QStringLiteral("copy.txt")));
    QCOMPARE(readFile(QStringLiteral("copy.txt")), bytes);
}

void TestFileFlows::characterOutsideCodePageIsNotSaved()
{
    addEntry(QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("fine"));
    addEntry(QStringLiteral("2"), QStringLiteral("2"), QStringLiteral("café"));
    MessageBoxSeen warning;
    save(path(QStringLiteral("cells.txt")), {recordMessage(&warning)});
    QCOMPARE(warning.text, QStringLiteral("Запись 2 содержит символы, которых нет в кодировке "
                                          "Windows-1251. Файл не сохранён."));
    QCOMPARE(warning.icon, QMessageBox::Warning);
    QVERIFY(!QFile::exists(path(QStringLiteral("cells.txt"))));
}

void TestFileFlows::saveFailureIsReported()
{
#ifndef Q_OS_LINUX
    QSKIP("uses /proc, where no file can be created");
#endif
    addEntry(QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("x"));
    const QString target = QStringLiteral("/proc/vusk-cells.txt");
    MessageBoxSeen error;
    save(target, {recordMessage(&error)});
    QCOMPARE(error.title, QStringLiteral("VUSK"));
    QCOMPARE(error.icon, QMessageBox::Critical);
    QVERIFY2(error.text.startsWith(QStringLiteral("Не удалось сохранить файл ") + target + u':'),
             qPrintable(error.text));
    QVERIFY(error.text.section(u'\n', 1).size() > 2); // the reason
    QCOMPARE(entries().size(), 1);
}

void TestFileFlows::failedSaveKeepsFormerFile_data()
{
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("disk full") << false;
    QTest::newRow("read-only disk") << true;
}

void TestFileFlows::failedSaveKeepsFormerFile()
{
    QFETCH(bool, readOnly);

    // A disk of our own, small enough to fill; read-only even for root.
    const QString mountPoint = path(QStringLiteral("small-disk"));
    QVERIFY(QDir().mkpath(mountPoint));
    if (QProcess::execute(QStringLiteral("mount"),
                          {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                           QStringLiteral("size=64k"), QStringLiteral("tmpfs"), mountPoint}) != 0)
        QSKIP("cannot mount a small tmpfs here");
    m_mountPoint = mountPoint;

    const QString target = mountPoint + QStringLiteral("/cells.txt");
    {
        QFile former(target);
        QVERIFY(former.open(QIODevice::WriteOnly));
        former.write("former\r\n");
    }
    if (readOnly)
        QCOMPARE(
            QProcess::execute(QStringLiteral("mount"),
                              {QStringLiteral("-o"), QStringLiteral("remount,ro"), mountPoint}),
            0);
    // Far more than the disk holds.
    for (int i = 0; i < 20; ++i)
        m_window->cellList().append(QString(5000, QLatin1Char('e')));
    MessageBoxSeen error;
    save(target, {pressButton(QMessageBox::Yes), recordMessage(&error)});
    QVERIFY2(error.text.startsWith(QStringLiteral("Не удалось сохранить файл ") + target),
             qPrintable(error.text));
    QCOMPARE(error.icon, QMessageBox::Critical);
    QFile former(target);
    QVERIFY(former.open(QIODevice::ReadOnly));
    QCOMPARE(former.readAll(), QByteArray("former\r\n"));
    QCOMPARE(QDir(mountPoint).entryList(QDir::Files), QStringList{QStringLiteral("cells.txt")});
    QCOMPARE(entries().size(), 20);
}

void TestFileFlows::userActionsRunBetweenLines()
{
    writeFile(QStringLiteral("long.txt"), numberedLines(2000));
    // After the tenth line, the user types and clicks: it runs before the next lines.
    int seenLines = 0;
    connect(&m_window->cellListReading(), &CellListReading::lineRead, this, [&] {
        if (++seenLines == 10)
            QTimer::singleShot(0, this, [&] {
                addEntry(QStringLiteral("255"), QStringLiteral("7"), QStringLiteral("typed"));
            });
    });
    openFile(path(QStringLiteral("long.txt")));

    const QStringList all = entries();
    QCOMPARE(all.size(), 2001);
    const qsizetype mine = all.indexOf(QStringLiteral("0xFF\t7\ttyped"));
    QVERIFY2(mine >= 10 && mine < 2000, qPrintable(QString::number(mine)));
    QStringList fileLines = all;
    fileLines.removeAt(mine);
    QCOMPARE(fileLines, numberedEntries(1, 2000));
}

void TestFileFlows::modalWindowHoldsTheRead()
{
    writeFile(QStringLiteral("long.txt"), numberedLines(2000));
    qsizetype whenOpened = -1;
    qsizetype whenClosing = -1;
    auto holdOpen = [&](QWidget *modal) {
        whenOpened = m_window->cellList().count();
        QTest::qWait(200);
        whenClosing = m_window->cellList().count();
        pressButton(QMessageBox::Ok)(modal);
    };
    bool opened = false;
    connect(&m_window->cellListReading(), &CellListReading::lineRead, this, [&] {
        if (!opened && (opened = true))
            QTimer::singleShot(0, this, [&] {
                ModalWatcher watcher(holdOpen);
                triggerAction(m_window.get(), QStringLiteral("mnuEditDelete")); // the warning
            });
    });
    startReading(path(QStringLiteral("long.txt")));
    waitForReadEnd();
    QVERIFY(whenOpened > 0 && whenOpened < 2000);
    QCOMPARE(whenClosing, whenOpened);
    QCOMPARE(entries(), numberedEntries(1, 2000));
}

void TestFileFlows::informationWindowMidReadHoldsTheRead()
{
    writeFile(QStringLiteral("long.txt"), numberedLines(2000));
    QString shown;
    qsizetype whenClosing = -1;
    auto readInfo = [&](QWidget *modal) {
        shown = modal->findChild<QLabel *>(QStringLiteral("lblBTSCount"))->text();
        QTest::qWait(100);
        whenClosing = m_window->cellList().count();
        QTest::keyClick(modal, Qt::Key_Return);
    };
    bool opened = false;
    connect(&m_window->cellListReading(), &CellListReading::lineRead, this, [&] {
        if (m_window->cellList().count() == 10 && !opened && (opened = true))
            QTimer::singleShot(0, this, [&] {
                ModalWatcher watcher(readInfo);
                triggerAction(m_window.get(), QStringLiteral("mnuFileInformation"));
            });
    });
    startReading(path(QStringLiteral("long.txt")));
    waitForReadEnd();
    QVERIFY(!shown.isEmpty());
    // The count is that of the moment the window opened, and nothing was read while
    // it stood open.
    QCOMPARE(shown, QString::number(whenClosing));
    QVERIFY(whenClosing >= 10 && whenClosing < 2000);
    QCOMPARE(entries(), numberedEntries(1, 2000));
}

void TestFileFlows::secondOpenDuringReadAddsNothing()
{
    writeFile(QStringLiteral("long.txt"), numberedLines(2000));
    writeFile(QStringLiteral("other.txt"), "other\r\n");
    MessageBoxSeen told;
    startReading(path(QStringLiteral("long.txt")));
    QVERIFY(m_window->cellListReading().isReading());
    ModalWatcher watcher({typeFileName(path(QStringLiteral("other.txt"))), recordMessage(&told)});
    triggerAction(m_window.get(), QStringLiteral("mnuFileOpen"));
    QVERIFY(watcher.answered());
    QCOMPARE(told.text, QStringLiteral("Дождитесь окончания чтения предыдущего файла."));
    QCOMPARE(told.title, QStringLiteral("Информация"));
    waitForReadEnd();
    QCOMPARE(entries(), numberedEntries(1, 2000));
}

void TestFileFlows::saveDuringReadKeepsReading_data()
{
    QTest::addColumn<bool>("ontoTheFileBeingRead");
    QTest::newRow("another file") << false;
    QTest::newRow("the file being read") << true;
}

void TestFileFlows::saveDuringReadKeepsReading()
{
    QFETCH(bool, ontoTheFileBeingRead);
#ifdef Q_OS_WIN
    if (ontoTheFileBeingRead)
        QSKIP("Windows does not let a file that is open for reading be replaced");
#endif

    writeFile(QStringLiteral("long.txt"), numberedLines(2000));
    const QString target =
        path(ontoTheFileBeingRead ? QStringLiteral("long.txt") : QStringLiteral("saved.txt"));
    startReading(path(QStringLiteral("long.txt")));
    QTRY_VERIFY(m_window->cellList().count() >= 5);
    QList<ModalWatcher::Answer> answers{typeFileName(target)};
    if (ontoTheFileBeingRead)
        answers.append(pressButton(QMessageBox::Yes));
    qsizetype savedCount = 0;
    {
        ModalWatcher watcher(answers);
        triggerAction(m_window.get(), QStringLiteral("mnuFileSaveAs"));
        QVERIFY(watcher.answered());
        savedCount = m_window->cellList().count();
    }
    QVERIFY(m_window->cellListReading().isReading());
    waitForReadEnd();

    // The read went on to the end of the file it opened, and the file saved holds
    // the list as it stood.
    QCOMPARE(entries(), numberedEntries(1, 2000));
    QVERIFY(savedCount < 2000);
    const QByteArray whole = numberedLines(2000);
    qsizetype cut = 0;
    for (qsizetype i = 0; i < savedCount; ++i)
        cut = whole.indexOf("\r\n", cut) + 2;
    QCOMPARE(readFile(QFileInfo(target).fileName()), whole.left(cut));
}

QTEST_MAIN(TestFileFlows)
#include "tst_fileflows.moc"
