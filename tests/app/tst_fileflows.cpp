#include "celllistfile.h"
#include "celllistformat.h"
#include "celllistmodel.h"
#include "commandline.h"
#include "cp1251.h"
#include "dialoganswers.h"
#include "frminfo.h"
#include "frmmain.h"
#include "platform.h"
#include "programfolder.h"
#include "readable.h"

#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStorageInfo>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using namespace vusk;

// Ends the row at a check that failed, which has said what it compared.
#define CHECK(passed)                                                                              \
    do {                                                                                           \
        if (!(passed))                                                                             \
            return;                                                                                \
    } while (false)

namespace {

QByteArray numberedLines(int count)
{
    QByteArray bytes;
    for (int i = 1; i <= count; ++i)
        bytes += QString("0x%1\t1\tline %2\r\n").arg(i, 0, 16).arg(i).toLatin1();
    return bytes;
}

QStringList numberedEntries(int count)
{
    return QString::fromLatin1(numberedLines(count)).split("\r\n", Qt::SkipEmptyParts);
}

const QString mine = "0xF\t9\tmine";
const QString diskGone = "disk gone"; // the system's reason when the save's last step fails

// A message box as the user sees it; no text: none. %1 stands for the file's name,
// and a text that ends in "(" is followed by the system's own reason, where it gives one.
struct Message
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title, text;
};
const Message cutNotice{QMessageBox::Information, "Информация",
                        "Прочитаны только первые 2000 строк файла."};
const Message waitNotice{QMessageBox::Information, "Информация",
                         "Дождитесь окончания чтения предыдущего файла."};
Message readFailed(const QString &reason)
{
    return {QMessageBox::Critical, "VUSK", "Не удалось прочитать файл %1:\n" + reason};
}
Message saveFailed(const QString &reason)
{
    return {QMessageBox::Critical, "VUSK", "Не удалось сохранить файл %1:\n" + reason};
}

// The save's last step fails, as a disk gone at that moment would, or works again.
void failCommits(frmMain &window, bool fail)
{
    window.setSaveCommitStep(!fail ? CommitStep(commitDirectly)
                                   : [](const QString &, const auto &, QString *error) {
                                         *error = diskGone;
                                         return false;
                                     });
}

// As QTRY_*: whole rounds of the event loop, each one line of a read (qWaitFor runs one).
template <typename Done> bool waitUntil(Done done, int ms)
{
    const QDeadlineTimer limit(ms);
    while (!done() && !limit.hasExpired())
        QTest::qWait(20);
    return done();
}

// A file's bytes against those expected, both shown as text in Windows-1251 with a byte
// that prints nothing as \xNN.
bool compareBytes(const QString &file, const QByteArray &actual, const QByteArray &expected)
{
    const auto text = [](const QByteArray &bytes) {
        QString text;
        for (const char byte : bytes) {
            const QChar ch = cp1251ToUnicode(uchar(byte));
            const bool shown = ch.isPrint() || byte == '\t' || byte == '\r' || byte == '\n';
            text += shown ? QString(ch) : QString::asprintf("\\x%02X", uchar(byte));
        }
        return text;
    };
    return actual == expected || compareText(qUtf8Printable("file «" + file + "» as text"),
                                             text(actual), text(expected), __FILE__, __LINE__);
}

struct Opening
{
    QByteArray bytes = {};  // the file's, written before each opening
    QStringList lines = {}; // added by each opening
    Message told = {};      // after each opening
    QString kind = "file";  // "fifo", "vanishing" after the dialog, or a system file's path
    QByteArray saved = {};  // as each opening's lines are saved, after mine
};

struct NamedFiles
{
    QStringList named = {}; // files in the folder, or addresses
    QStringList lines = {}; // the list afterwards
    Message told = {};      // %1: the first file named
    QString dropOn = {};    // the control dropped on; none: named at start
};

struct Save
{
    QStringList list = {"0x1A2B\t62\tX", "0xF\t\tОписание"};
    QString former = {};      // a file holding three lines before the save
    QString setUp = {};       // link, pipe, loop, read-only file, small disk, read-only disk
    bool secondName = false;  // the former file has another name, other.txt beside it
    bool commitFails = false; // the save's last step
    std::optional<QString> typed = {}; // in the dialog, "" cancels it; none: no dialog opens
    bool asked = false;                // whether to replace a file, answered «Да»
    QString written = {};              // the one file that changes, to hold the list
    Message told = {};
};

struct DuringRead
{
    QString action = {}; // a menu item or picture, or what another program does to the file
    QString typed = {};  // in the dialog the action opens
    Message told = {};   // the message it brings
};

struct Ending
{
    QStringList steps = {"add"}; // before the end: add, remove, open:name, save:name
    QString answer = {};         // to the question: its button or "Escape"; none: not asked
    QString saveAs = {};         // after «Да», in the save's dialog; "" cancels it
    bool saveFails = false;      // at its last step
    bool ends = true;
    bool closeBox = false; // the end asked for by the close box, not by «Выход»
};

} // namespace

class TestFileFlows : public QObject
{
    Q_OBJECT

    std::optional<QTemporaryDir> m_dir;
    std::unique_ptr<frmMain> m_window;
    QString m_step; // of a row that takes several, named in its failures

    template <typename Row> static auto rows()
    {
        QTest::addColumn<Row>("row");
        return [](const char *name, const Row &row) {
            QTest::newRow(name) << row;
        };
    }
    QByteArray named(const QString &what) const
    {
        return (m_step.isEmpty() ? what : m_step + ", " + what).toUtf8();
    }
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QStringList entries() const { return m_window->cellList().entries(); }
    const CellListReading &reading() const { return m_window->cellListReading(); }
    bool makePipe(const QString &name) { return QProcess::execute("mkfifo", {path(name)}) == 0; }
    void writeFile(const QString &name, const QByteArray &bytes, const QDateTime &time = {})
    {
        QFile file(path(name));
        QVERIFY2(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() &&
                     file.flush() &&
                     (!time.isValid() || file.setFileTime(time, QFileDevice::FileModificationTime)),
                 qUtf8Printable(name + ": " + file.errorString()));
    }
    QByteArray readFile(const QString &name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    bool fileHolds(const QString &name, const QByteArray &expected) const
    {
        return compareBytes(name, readFile(name), expected);
    }
    // Every file in the folder and below with its bytes; a pipe is never opened.
    QMap<QString, QByteArray> filesOnDisk() const
    {
        QMap<QString, QByteArray> files;
        QDirIterator it(m_dir->path(), QDir::Files | QDir::System, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString name = QDir(m_dir->path()).relativeFilePath(it.next());
            files[name] = it.fileInfo().isFile() ? readFile(name) : "<not a file>";
        }
        return files;
    }
    bool compareFiles(const QMap<QString, QByteArray> &expected) const
    {
        const QMap<QString, QByteArray> actual = filesOnDisk();
        bool same = compareLines(named("files in the folder"), actual.keys(), expected.keys(),
                                 __FILE__, __LINE__);
        for (auto file = expected.begin(); same && file != expected.end(); ++file)
            same = compareBytes(file.key(), actual.value(file.key()), file.value());
        return same;
    }
    bool compareTold(const MessageBoxSeen &seen, Message expected, const QString &file) const
    {
        expected.text.replace("%1", QDir::toNativeSeparators(file));
        QString text = seen.text;
        if (expected.text.endsWith('(') && text.startsWith(expected.text) && text.endsWith(")."))
            text = expected.text; // the system's reason, in its own words
        else if (expected.text.endsWith(" (") && text == expected.text.chopped(2) + '.')
            text = expected.text; // where the system gives none
        return QTest::qCompare(seen.icon, expected.icon, named("message icon"), "expected icon",
                               __FILE__, __LINE__) &&
               compareText(named("message title"), seen.title, expected.title, __FILE__,
                           __LINE__) &&
               compareText(named("message text"), text, expected.text, __FILE__, __LINE__);
    }
    // That every window the script answers opened, and no other.
    bool answeredAll(const ModalWatcher &watcher, qsizetype expected, const QString &after) const
    {
        return compareLines(named("windows nobody expected after " + after), watcher.unexpected(),
                            {}, __FILE__, __LINE__) &&
               QTest::qCompare(watcher.answeredCount(), expected,
                               named("windows answered after " + after), "windows expected",
                               __FILE__, __LINE__);
    }
    bool waitForReadEnd() const
    {
        if (waitUntil([this] { return !reading().isReading(); }, 60000))
            return true;
        QTest::qFail(named("the read did not end within a minute"), __FILE__, __LINE__);
        return false;
    }
    void click(const QString &name) // a menu item, or a picture button
    {
        if (name.startsWith("img"))
            QTest::mouseClick(m_window->findChild<QLabel *>(name), Qt::LeftButton);
        else
            triggerAction(m_window.get(), name);
    }
    // Clicks, answers the script, then the message told with OK; waits for a read it started.
    bool chooseFile(const QString &trigger, QList<ModalWatcher::Answer> answers,
                    const Message &told = {}, const QString &file = {}, bool waitForRead = true)
    {
        MessageBoxSeen seen;
        if (!told.text.isEmpty())
            answers.append(pressButton(QMessageBox::Ok, &seen));
        ModalWatcher watcher(answers);
        click(trigger);
        return (!waitForRead || waitForReadEnd()) &&
               answeredAll(watcher, answers.size(), trigger) && compareTold(seen, told, file);
    }
    // Drags the addresses over the control, as a file manager does, and lets go
    // where the window shows it would take them: "refused", or how the drop went.
    QString drop(const QString &onto, const QList<QUrl> &urls)
    {
        auto *control = m_window->findChild<QWidget *>(onto);
        const QPoint at = control->mapTo(m_window.get(), control->rect().center());
        // Qt hands a drag to the innermost widget under it that takes drops.
        QWidget *target = m_window->childAt(at);
        while (!target->acceptDrops() && !target->isWindow())
            target = target->parentWidget();
        QMimeData data; // with the names as text too, which a box would take
        data.setUrls(urls);
        data.setText(urls.value(0).toString(QUrl::PreferLocalFile));
        const QPoint point = target->mapFrom(m_window.get(), at);
        const auto actions = Qt::CopyAction | Qt::MoveAction;
        QDragEnterEvent enter(point, actions, &data, Qt::LeftButton, {});
        QDragMoveEvent move(point, actions, &data, Qt::LeftButton, {});
        QDropEvent release(point, actions, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(target, &enter);
        QCoreApplication::sendEvent(target, &move);
        if (!enter.isAccepted() || !move.isAccepted())
            return "refused";
        QCoreApplication::sendEvent(target, &release);
        if (!release.isAccepted())
            return "dropped and ignored";
        return release.dropAction() == Qt::CopyAction ? "copied" : "taken, not copied";
    }

public:
    static void initMain() { drawOffscreenUnlessNamed(); }

private slots:
    void init()
    {
        // A file left open by a read makes the next one fail with this warning.
        QTest::failOnWarning(QRegularExpression("already open"));
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        m_step.clear();
        m_dir.emplace();
        m_window = std::make_unique<frmMain>();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void cleanup()
    {
        m_window.reset(); // and with it any commit step a row staged
        if (QStorageInfo(path("disk")).rootPath() == path("disk"))
            QProcess::execute("umount", {path("disk")});
    }

    void dialogsAskAsDescribed_data()
    {
        QTest::addColumn<QString>("trigger");
        QTest::newRow("Открыть") << "mnuFileOpen";
        QTest::newRow("the save picture") << "imgSaveToFile";
    }

    void dialogsAskAsDescribed()
    {
        QFETCH(QString, trigger);
        const bool open = trigger == "mnuFileOpen";
        m_window->cellList().append(mine);
        FileDialogSeen seen;
        CHECK(chooseFile(trigger, {lookAtFileDialog(&seen, cancelFileDialog())}));
        COMPARE_TEXT("title", seen.title, open ? "VUSK: Открытие файла" : "VUSK: Сохранение файла");
        COMPARE_TEXT("name proposed", seen.proposedName, open ? "btsinfo.txt" : "btsinfo_txt.txt");
        COMPARE_TEXT("folder", seen.folder, QDir(cellListFolder()).absolutePath());
        COMPARE_LINES("filters", seen.filters,
                      QStringList({"Текстовые документы (*.txt)", "Все файлы (*.*)"}));
        QCOMPARE(seen.acceptMode, open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
        COMPARE_LINES("list", entries(), {mine}); // cancelling changes nothing
        CHECK(compareFiles({}));
    }

    void opening_data()
    {
        const auto row = rows<Opening>();
        const Message tooLong =
            readFailed("строка длиннее 1048576 байт — похоже, это не список сот.");
        row("empty file", {});
        QByteArray bytes; // two lines: the bytes below 128, and the others
        for (int value = 0; value < 256; ++value) {
            if (value != '\r' && value != '\n')
                bytes += char(value);
            if (value % 128 == 127)
                bytes += "\r\n";
        }
        row("every byte of Windows-1251 is saved back",
            {.bytes = bytes,
             .lines = decodeCp1251(bytes).split("\r\n", Qt::SkipEmptyParts),
             .saved = bytes});
        row("UTF-16 LE is saved in Windows-1251",
            {.bytes = "\xFF\xFE" + QStringEncoder(QStringConverter::Utf16LE)(
                                       QString("0x1\t1\tЁлки\r\n0x2\t2\tб\r\n")),
             .lines = {"0x1\t1\tЁлки", "0x2\t2\tб"},
             .told = {QMessageBox::Information, "Информация",
                      "Файл «cells.txt» записан в кодировке UTF-16 LE; список будет сохранён в "
                      "Windows-1251."},
             .saved = "0x1\t1\t\xA8\xEB\xEA\xE8\r\n0x2\t2\t\xE1\r\n"});
        row("2000 lines", {.bytes = numberedLines(2000), .lines = numberedEntries(2000)});
        row("2001 lines: the first 2000, and a notice",
            {.bytes = numberedLines(2001), .lines = numberedEntries(2000), .told = cutNotice});
        row("2000 lines, then one too long: still the notice",
            {.bytes = numberedLines(2000) + QByteArray(1100 * 1024, 'x'),
             .lines = numberedEntries(2000),
             .told = cutNotice});
        const QByteArray overMiB(1536 * 1024, 'x');
        row("line over 1 MiB after two lines",
            {.bytes = "a\r\nb\r\n" + overMiB + "\r\nc", .lines = {"a", "b"}, .told = tooLong});
        row("named pipe: refused at once",
            {.told = readFailed("это не обычный файл."), .kind = "fifo"});
        row("gone after the dialog",
            {.bytes = "a\r\n", .told = readFailed("файл не найден ("), .kind = "vanishing"});
        row("a read that fails at once is an error, not an empty file",
            {.told = readFailed("ошибка чтения с диска ("), .kind = "/proc/self/mem"});
    }

    void opening()
    {
        QFETCH(Opening, row);
        const QString file = row.kind.startsWith('/') ? row.kind : path("cells.txt");
        if (row.kind.startsWith('/') && !QFile::exists(row.kind))
            QSKIP("no such file on this system");
        if (row.kind == "fifo" && !makePipe("cells.txt"))
            QSKIP("no named pipes here");
        m_window->cellList().append(mine);
        QStringList expected{mine};
        for (int opening = 1; opening <= 2; ++opening) { // each opening counts its own lines
            m_step = QString("opening %1").arg(opening);
            if (row.kind == "file" || row.kind == "vanishing")
                writeFile("cells.txt", row.bytes);
            const auto typeName = [&](QWidget *dialog) {
                if (row.kind == "vanishing") // between the dialog and the read
                    connect(qobject_cast<QDialog *>(dialog), &QDialog::accepted,
                            [file] { QFile::remove(file); });
                typeFileName(file)(dialog);
            };
            CHECK(chooseFile("mnuFileOpen", {typeName}, row.told, file));
            expected += row.lines;
            COMPARE_LINES(named("list"), entries(), expected);
        }
        if (row.saved.isEmpty())
            return;
        m_step = "saved";
        CHECK(chooseFile("mnuFileSaveAs", {typeFileName(path("copy.txt"))}));
        CHECK(fileHolds("copy.txt", mine.toLatin1() + "\r\n" + row.saved + row.saved));
    }

    void namedFiles_data()
    {
        const auto row = rows<NamedFiles>();
        const QStringList twoFiles = numberedEntries(200) << "0xB\t2\tb";
        row("start: the second file after the first",
            {.named = {"long.txt", "b.txt"}, .lines = twoFiles});
        row("start: a missing file is told, the next one opens",
            {.named = {"missing.txt", "a.txt"},
             .lines = {"0xA\t1\ta"},
             .told = readFailed("файл не найден (")});
        row("drop on the list: two files in order",
            {.named = {"long.txt", "b.txt"}, .lines = twoFiles, .dropOn = "lstOutput"});
        row("drop on a box opens the file, not its name",
            {.named = {"a.txt"}, .lines = {"0xA\t1\ta"}, .dropOn = "txtLocation"});
        row("a web address is not taken",
            {.named = {"https://example.org/a.txt"}, .dropOn = "lstOutput"});
    }

    void namedFiles()
    {
        QFETCH(NamedFiles, row);
        writeFile("a.txt", "0xA\t1\ta\r\n");
        writeFile("b.txt", "0xB\t2\tb\r\n");
        writeFile("long.txt", numberedLines(200));
        QStringList arguments{"vusk"};
        QList<QUrl> urls;
        for (const QString &name : row.named) {
            arguments.append(path(name));
            urls.append(name.contains(':') ? QUrl(name) : QUrl::fromLocalFile(path(name)));
        }
        MessageBoxSeen seen;
        const bool told = !row.told.text.isEmpty();
        ModalWatcher watcher(told ? QList{pressButton(QMessageBox::Ok, &seen)}
                                  : QList<ModalWatcher::Answer>{});
        if (row.dropOn.isEmpty())
            m_window->openFiles(parseCommandLine(arguments).files);
        else
            QCOMPARE(drop(row.dropOn, urls), urls.first().isLocalFile() ? "copied" : "refused");
        (void)waitUntil([&] { return entries() == row.lines && watcher.answered(); }, 10000);
        CHECK(waitForReadEnd());
        CHECK(answeredAll(watcher, told ? 1 : 0, "the files named"));
        CHECK(compareTold(seen, row.told, path(row.named.first())));
        COMPARE_LINES("list", entries(), row.lines);
    }

    void saving_data()
    {
        const auto row = rows<Save>();
        const QStringList big(20, QString(5000, u'e'));
        const QString onDisk = "disk/cells.txt";
        const Message notRegular = saveFailed("это не обычный файл.");
        const Message full = saveFailed("на диске не хватает места (");
        const QString commitFailed = "ошибка записи на диск (" + diskGone + ")";
        row("extension added", {.typed = "cells", .written = "cells.txt"});
#ifndef Q_OS_WIN // where names cannot end in a blank, the blanks are cut off
        row("a blank at the end belongs to the name",
            {.former = "cells.txt", .typed = "cells.txt ", .written = "cells.txt "});
#endif
        row("a link stays, its target is written",
            {.setUp = "link", .typed = "link.txt", .asked = true, .written = "target.txt"});
        // What is refused anyway is told before the dialog, or before the question to replace.
        row("character outside Windows-1251",
            {.list = {"0x1\t1\tfine", "0x2\t2\tcafé"},
             .told = {QMessageBox::Warning, "Предупреждение",
                      "Запись 2 содержит символы, которых нет в кодировке Windows-1251. Файл не "
                      "сохранён."}});
        row("an entry longer than a file line reads back",
            {.list = {"0x1\t1\tfine", QString(maxLineBytes + 1, u'x')},
             .told = {QMessageBox::Warning, "Предупреждение",
                      "Запись 2 длиннее 1048576 знаков: такую строку нельзя будет прочитать из "
                      "файла. Файл не сохранён."}});
        row("named pipe is not replaced",
            {.setUp = "pipe", .typed = "pipe.txt", .told = notRegular});
        row("a link to itself is not replaced",
            {.setUp = "loop", .typed = "loop.txt", .told = notRegular});
        const QString longName = QString(125, u'ж') + "x.txt"; // 255 bytes
        row("a longer file with a name of 255 bytes is replaced whole",
            {.former = longName, .typed = longName, .asked = true, .written = longName});
        row("read-only file", {.former = "cells.txt",
                               .setUp = "read-only file",
                               .typed = "cells.txt",
                               .told = saveFailed("файл защищён от записи (")});
        row("full disk keeps the former file",
            {.list = big, .setUp = "small disk", .typed = onDisk, .asked = true, .told = full});
        row("read-only disk keeps the former file",
            {.list = big,
             .setUp = "read-only disk",
             .typed = onDisk,
             .told = saveFailed("диск доступен только для чтения (")});
        row("a failure at the last step is reported",
            {.commitFails = true, .typed = "cells.txt", .told = saveFailed(commitFailed + ".")});
#ifndef Q_OS_WIN // names there are counted in characters, and files replaced whole
        row("a name too long for the system",
            {.typed = "ж" + longName, .told = saveFailed("слишком длинное имя файла (")});
        // A file with a second name is written in place, after a copy of what it held.
        row("a second name on a full disk: put back as it was", {.list = big,
                                                                 .setUp = "small disk",
                                                                 .secondName = true,
                                                                 .typed = onDisk,
                                                                 .asked = true,
                                                                 .told = full});
        row("a second name, the last step failing: the copy stays",
            {.former = "cells.txt",
             .secondName = true,
             .commitFails = true,
             .typed = "cells.txt",
             .asked = true,
             .told = saveFailed(commitFailed + "; прежнее содержимое файла сохранено в %1~.")});
#endif
    }

    void saving()
    {
        QFETCH(Save, row);
        const QByteArray former = numberedLines(3);
        const QString typed = row.typed.value_or(QString());
        if (row.setUp == "small disk" || row.setUp == "read-only disk") {
            // A disk of our own, small enough to fill and able to turn read-only even for root.
            QDir().mkpath(path("disk"));
            if (QProcess::execute("mount",
                                  {"-t", "tmpfs", "-o", "size=64k", "tmpfs", path("disk")}))
                QSKIP("cannot mount a small disk here");
            writeFile("disk/cells.txt", former);
        }
        if (!row.former.isEmpty())
            writeFile(row.former, former);
        if (row.setUp == "read-only disk")
            QCOMPARE(QProcess::execute("mount", {"-o", "remount,ro", path("disk")}), 0);
        if (row.setUp == "read-only file" &&
            (!QFile::setPermissions(path(row.former), QFile::ReadOwner | QFile::ReadUser) ||
             QFileInfo(path(row.former)).isWritable()))
            QSKIP("this user writes read-only files all the same");
        if (row.setUp == "link") {
            writeFile("target.txt", former);
            QFile::setPermissions(path("target.txt"),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        }
        const QString linkTo = row.setUp == "link" ? path("target.txt") : typed; // or itself
        if ((row.setUp == "link" || row.setUp == "loop") &&
            (!hasSymbolicLinks() || !QFile::link(linkTo, path(typed))))
            QSKIP("no symbolic links here");
        if (row.setUp == "pipe" && !makePipe(typed))
            QSKIP("no named pipes here");
        if (row.secondName &&
            QProcess::execute("ln", {path(typed), path(QFileInfo(typed).path() + "/other.txt")}))
            QSKIP("no hard links here");
        failCommits(*m_window, row.commitFails);
        for (const QString &entry : row.list)
            m_window->cellList().append(entry);
        QMap<QString, QByteArray> expected = filesOnDisk(); // as it is before the save

        QList<ModalWatcher::Answer> answers;
        if (row.typed)
            answers.append(typed.isEmpty() ? cancelFileDialog() : typeFileName(path(typed)));
        if (row.asked)
            answers.append(pressButton(QMessageBox::Yes));
        CHECK(chooseFile("imgSaveToFile", answers, row.told, path(typed)));

        // The list is never touched, and only the file written changes.
        COMPARE_LINES("list", entries(), row.list);
        const QByteArray saved =
            "0x1A2B\t62\tX\r\n0xF\t\t\xCE\xEF\xE8\xF1\xE0\xED\xE8\xE5\r\n"; // Описание
        if (!row.written.isEmpty())
            expected[row.written] = saved;
        if (row.told.text.contains("сохранено в")) // the copy of what the file held
            expected[typed + "~"] = former;
        if (row.setUp == "link") {
            expected["link.txt"] = saved;
            QVERIFY(QFileInfo(path("link.txt")).isSymLink());
            // Qt keeps a mode's digits as hex digits, with the asking process's after the owner's.
            const int mode = QFile::permissions(path("target.txt")) & 0x7077;
            COMPARE_TEXT("mode of target.txt",
                         QString("%1").arg(mode, 4, 16, QChar('0')).remove(1, 1), "640");
        }
        CHECK(compareFiles(expected));
    }

    void duringARead_data()
    {
        const auto row = rows<DuringRead>();
        const Message changed = readFailed("файл изменился во время чтения.");
        row("adding an entry", {.action = "imgAddToFile"});
        row("the Information window holds the read", {.action = "mnuFileInformation"});
        row("a second opening adds nothing",
            {.action = "mnuFileOpen", .typed = "other.txt", .told = waitNotice});
        row("a drop adds nothing", {.action = "drop", .told = waitNotice});
        row("saving elsewhere", {.action = "mnuFileSaveAs", .typed = "saved.txt"});
        row("saving onto the file being read is refused, before the question to replace it",
            {.action = "mnuFileSaveAs", .typed = "long.txt", .told = waitNotice});
        row("saving onto a link to it too",
            {.action = "mnuFileSaveAs", .typed = "link.txt", .told = waitNotice});
#ifndef Q_OS_WIN // where a file being read cannot be renamed
        row("saving onto it renamed meanwhile too",
            {.action = "mnuFileSaveAs", .typed = "moved.txt", .told = waitNotice});
#endif
        // Another program, between two lines.
        row("the file cut in the middle of a line", {.action = "cut", .told = changed});
        row("the file rewritten in place", {.action = "rewrite", .told = changed});
        row("lines appended meanwhile are read on", {.action = "append", .told = cutNotice});
        row("exit ends the read at once", {.action = "mnuFileExit"});
    }

    void duringARead()
    {
        QFETCH(DuringRead, row);
        const QString &action = row.action;
        // An hour old, so that a rewrite shows in its time.
        writeFile("long.txt", numberedLines(2000), QDateTime::currentDateTime().addSecs(-3600));
        writeFile("other.txt", "other\r\n");
        if (row.typed == "link.txt" && !hasSymbolicLinks())
            QSKIP("no symbolic links here");
        QFile::link(path("long.txt"), path("link.txt"));
        const bool info = action == "mnuFileInformation";
        // A window that opens holds the read; the list shows all that was read before it.
        auto hold = [&](QWidget *modal) {
            // Its only button, OK or Close, is clicked however the checks below end.
            const auto close = qScopeGuard(
                [modal] { QTest::mouseClick(modal->findChild<QPushButton *>(), Qt::LeftButton); });
            const qsizetype count = m_window->cellList().count();
            QCOMPARE(m_window->cellList().rowCount(), count);
            QVERIFY2(!QSignalSpy(&reading(), &CellListReading::lineRead).wait(150),
                     "a line was read while the window was open");
            if (auto *box = qobject_cast<QMessageBox *>(modal))
                (void)compareTold({true, box->windowTitle(), box->text(), box->icon(), {}},
                                  row.told, path("long.txt"));
            else
                COMPARE_TEXT("count shown", modal->findChild<QLabel *>("lblBTSCount")->text(),
                             QString::number(count));
        };
        QList<ModalWatcher::Answer> answers;
        if (!row.typed.isEmpty())
            answers.append(typeFileName(path(row.typed)));
        if (!row.told.text.isEmpty() || info)
            answers.append(ModalWatcher::Answer(hold, info ? &frmInfo::staticMetaObject
                                                           : &QMessageBox::staticMetaObject));
        // The user acts between two lines of the read, once ten lines are in.
        qsizetype countAfterwards = -1;
        bool readingAfterwards = false;
        std::unique_ptr<ModalWatcher> watcher;
        connect(&reading(), &CellListReading::lineRead, this, [&] {
            if (m_window->cellList().count() == 10)
                QTimer::singleShot(0, this, [&] {
                    watcher = std::make_unique<ModalWatcher>(answers);
                    if (action == "imgAddToFile")
                        m_window->findChild<QLineEdit *>("txtCellID")->setText("255");
                    if (row.typed == "moved.txt") // by another program, while the read goes on
                        QFile::rename(path("long.txt"), path(row.typed));
                    QFile file(path("long.txt")); // another program, between two lines
                    if (action == "cut")
                        QVERIFY(file.resize(30005));
                    else if (action == "rewrite")
                        writeFile("long.txt", numberedLines(2000).replace("line", "LINE"));
                    else if (action == "append")
                        QCOMPARE(file.open(QIODevice::Append) ? file.write("more\r\n") : -1, 6);
                    else if (action == "drop")
                        QCOMPARE(drop("lstOutput", {QUrl::fromLocalFile(path("other.txt"))}),
                                 "copied");
                    else
                        click(action);
                    countAfterwards = m_window->cellList().count();
                    readingAfterwards = reading().isReading();
                });
        });
        CHECK(chooseFile("mnuFileOpen", {typeFileName(path("long.txt"))}, {}, {}, false));
        QVERIFY2(waitUntil([&] { return countAfterwards >= 0; }, 60000),
                 "the read never got to its tenth line");
        QCOMPARE_LT(countAfterwards, 2000);        // the user acted while the read went on
        const bool exit = action == "mnuFileExit"; // the window is gone, and nothing more is read
        QCOMPARE(readingAfterwards, !exit);
        QCOMPARE(m_window->isVisible(), !exit);
        CHECK(exit || waitForReadEnd());
        CHECK(answeredAll(*watcher, answers.size(), action));
        const bool cutShort = exit || action == "cut" || action == "rewrite";
        QStringList all = entries();
        if (action == "imgAddToFile") // in its place, between two lines of the file
            COMPARE_TEXT("entry added", all.takeAt(countAfterwards - 1), "0xFF\t\t");
        // Whole lines as they were, and no more.
        COMPARE_LINES("lines read", all, numberedEntries(cutShort ? int(countAfterwards) : 2000));
        if (cutShort || action == "append")
            return;
        const QString read = row.typed == "moved.txt" ? row.typed : "long.txt";
        CHECK(fileHolds(read, numberedLines(2000)));
        if (row.typed == "saved.txt")
            CHECK(fileHolds(row.typed, numberedLines(int(countAfterwards))));
    }

    void ending_data()
    {
        const auto row = rows<Ending>();
        row("add, then exit asks; «Нет» ends", {.answer = "Нет"});
        row("Escape is «Отмена»", {.answer = "Escape", .ends = false});
        row("«Да», then a cancelled dialog keeps it", {.answer = "Да", .ends = false});
        row("«Да», then a failed save keeps it",
            {.answer = "Да", .saveAs = "saved.txt", .saveFails = true, .ends = false});
        row("«Да», then a save ends; the file holds every entry",
            {.steps = {"open:cells.txt", "add"}, .answer = "Да", .saveAs = "saved.txt"});
        row("open into an empty list, then exit asks nothing", {.steps = {"open:cells.txt"}});
        row("save, then exit asks nothing", {.steps = {"add", "save:saved.txt"}});
        row("remove after a save asks",
            {.steps = {"add", "add", "save:saved.txt", "remove"}, .answer = "Нет"});
        row("a file opened into a list with entries asks",
            {.steps = {"add", "save:saved.txt", "open:cells.txt"}, .answer = "Нет"});
        row("a list emptied by removing holds nothing to save", {.steps = {"add", "remove"}});
        row("the close box asks as the menu does",
            {.answer = "Отмена", .ends = false, .closeBox = true});
    }

    void ending()
    {
        QFETCH(Ending, row);
        writeFile("cells.txt", numberedLines(3));
        for (const QString &step : row.steps) {
            if (step == "add")
                m_window->findChild<QLineEdit *>("txtCellID")->setText("15");
            if (step == "add" || step == "remove")
                click(step == "add" ? "imgAddToFile" : "mnuEditDelete");
            else
                CHECK(chooseFile(step.startsWith("open") ? "mnuFileOpen" : "mnuFileSaveAs",
                                 {typeFileName(path(step.section(u':', 1)))}));
        }
        const QStringList before = entries();
        // Marked while the list holds what no save has written.
        const QString title = m_window->windowTitle().remove("[*]");
        const bool asks = !row.answer.isEmpty();
        COMPARE_TEXT("window title", m_window->windowHandle()->title(), asks ? title + '*' : title);

        MessageBoxSeen question;
        QStringList buttons;
        QList<ModalWatcher::Answer> script;
        if (asks)
            script.append(ModalWatcher::Answer(
                [&](QWidget *modal) {
                    auto *box = static_cast<QMessageBox *>(modal);
                    question = {true, box->windowTitle(), box->text(), box->icon(), {}};
                    if (row.answer == "Escape")
                        QTest::keyClick(box, Qt::Key_Escape);
                    for (QAbstractButton *button : box->buttons()) {
                        buttons.append(button->text());
                        if (button->text() == row.answer)
                            QTest::mouseClick(button, Qt::LeftButton);
                    }
                },
                &QMessageBox::staticMetaObject));
        if (row.answer == "Да") { // the save's dialog, and what it tells
            failCommits(*m_window, row.saveFails);
            script.append(row.saveAs.isEmpty() ? cancelFileDialog()
                                               : typeFileName(path(row.saveAs)));
            if (row.saveFails)
                script.append(pressButton(QMessageBox::Ok));
        }
        ModalWatcher watcher(script);
        QCloseEvent close; // as the window system asks, for Alt+F4 too
        if (row.closeBox)
            QCoreApplication::sendEvent(m_window->windowHandle(), &close);
        else
            click("mnuFileExit");
        CHECK(answeredAll(watcher, script.size(), row.closeBox ? "the close box" : "«Выход»"));
        if (asks) {
            CHECK(compareTold(
                question, {QMessageBox::Question, "VUSK", "Сохранить изменения в списке?"}, {}));
            buttons.sort();
            COMPARE_LINES("the question's buttons", buttons, QStringList({"Да", "Нет", "Отмена"}));
        }
        QCOMPARE(m_window->isVisible(), !row.ends);
        COMPARE_LINES("list", entries(), before);
        if (!row.ends)
            COMPARE_TEXT("window title afterwards", m_window->windowHandle()->title(), title + '*');
        if (row.answer == "Да" && row.ends)
            CHECK(fileHolds(row.saveAs, (before.join("\r\n") + "\r\n").toLatin1()));
    }
};

QTEST_MAIN(TestFileFlows)
#include "tst_fileflows.moc"
