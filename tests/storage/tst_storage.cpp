#include "cellentry.h"
#include "celllistfile.h"
#include "celllistformat.h"
#include "cp1251.h"

#include <QBuffer>
#include <QDir>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_LINUX
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>
#endif

using namespace vusk;
using Status = CellListReader::Status;

namespace {

// Hands out and takes `step` bytes at a time, as pipes and full disks do; may fail at the end.
struct TestDevice : QBuffer
{
    TestDevice(const QByteArray &data, qint64 step, bool failAtEnd = false)
        : m_step(step), m_fail(failAtEnd)
    {
        setData(data);
    }
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 n = QBuffer::readData(data, std::min(maxSize, m_step));
        if (n == 0 && m_fail)
            setErrorString("Simulated disk failure");
        return n == 0 && m_fail ? -1 : n;
    }
    qint64 writeData(const char *data, qint64 size) override
    {
        return QBuffer::writeData(data, std::min(size, m_step));
    }

    qint64 m_step;
    bool m_fail;
};

struct Read
{
    QByteArray bytes;
    QStringList lines;              // every line delivered before the read ended
    Status end = Status::EndOfFile; // Error while open for reading: the device itself fails
    qsizetype maxLineBytes = CellListReader::defaultMaxLineBytes;
    QIODevice::OpenMode mode = QIODevice::ReadOnly;
    QPoint stepAndChunk = {}; // the device hands out x bytes at a time; the reader asks for y
    QString encoding = "Windows-1251"; // the file's, as found by the end
};

enum class Commit
{
    Works,
    Fails,
    FailsHalfway, // having emptied the file
};

// A list saved over a file that held "former".
struct Save
{
    QStringList entries;
    QByteArray file;    // what the file holds afterwards
    QString error = {}; // found in the reason given when the list is not saved
    int bad = -1;       // the first entry the code page cannot hold
    Commit commit = Commit::Works;
    QString name = "cells.txt";
    QString setUp = {};                    // how the file is shared; it stays so
    QMap<QString, QByteArray> others = {}; // every other file in the folder afterwards
};

// The file's owner, group, permissions, number of names and extended attributes.
QString whatFileIs(const QString &path)
{
#ifdef Q_OS_LINUX
    struct stat info = {};
    char names[256] = {};
    const QByteArray name = QFile::encodeName(path);
    const ssize_t size = ::listxattr(name.constData(), names, sizeof names);
    if (::stat(name.constData(), &info) != 0)
        return "missing";
    return QString("%1:%2 %3, %4 names, attributes: %5")
        .arg(info.st_uid)
        .arg(info.st_gid)
        .arg(info.st_mode & 07777, 0, 8)
        .arg(info.st_nlink)
        .arg(QByteArray(names, int(std::max<ssize_t>(size, 0))).replace('\0', ' '));
#else
    return QFileInfo::exists(path) ? "a file" : "missing";
#endif
}

#ifdef Q_OS_LINUX
// Root passes every permission check. Rows "as a user" meet the checks everyone
// else does: this thread gives up its rights over others' files for a while.
struct AsAUser
{
    AsAUser()
    {
        __user_cap_data_struct lowered[2] = {saved[0], saved[1]};
        for (const int right : {CAP_CHOWN, CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
            lowered[right / 32].effective &= ~(1u << (right % 32));
        if (known)
            syscall(SYS_capset, &header, lowered);
    }
    ~AsAUser()
    {
        if (known)
            syscall(SYS_capset, &header, saved);
    }

    __user_cap_header_struct header = {_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved[2] = {};
    const bool known = syscall(SYS_capget, &header, saved) == 0;
};

// Shares the file as the row says: "owner U:G MODE", "second name", "own copy" (a
// "cells.txt~" of the user's), "read-only folder", "attribute". False where it cannot.
bool share(const QString &setUp, const QString &dir)
{
    const QByteArray file = QFile::encodeName(dir + "/cells.txt");
    const QRegularExpressionMatch owner =
        QRegularExpression("owner (\\d+):(\\d+) (\\d+)").match(setUp);
    if (owner.hasMatch() &&
        (::chown(file, owner.captured(1).toUInt(), owner.captured(2).toUInt()) ||
         ::chmod(file, owner.captured(3).toUInt(nullptr, 8))))
        return false;
    QFile copy(dir + "/cells.txt~");
    if (setUp.contains("own copy") && (!copy.open(QIODevice::WriteOnly) || copy.write("mine") != 4))
        return false;
    return (!setUp.contains("second name") ||
            ::link(file, QFile::encodeName(dir + "/other.txt")) == 0) &&
           (!setUp.contains("attribute") || ::setxattr(file, "user.vusk", "kept", 4, 0) == 0) &&
           (!setUp.contains("read-only folder") || ::chmod(QFile::encodeName(dir), 0555) == 0);
}
#endif

QMap<QString, QByteArray> filesIn(const QString &dir)
{
    QMap<QString, QByteArray> files;
    for (const QString &name : QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        QFile file(dir + '/' + name);
        files[name] = file.open(QIODevice::ReadOnly) ? file.readAll() : "<unreadable>";
    }
    return files;
}

} // namespace

class TestStorage : public QObject
{
    Q_OBJECT

private slots:
    void entries_data()
    {
        // built: fields that join to the entry (none: not built); split: fields it splits into.
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QStringList>("built");
        QTest::addColumn<QStringList>("split");

        const auto row = [](const char *name, QString entry, QStringList built,
                            QStringList split = {}) { // none: as built
            QTest::newRow(name) << entry << built << (split.isEmpty() ? built : split);
        };
        row("all empty", "\t\t", {"", "", ""});
        row("blanks and line feeds kept", " 0xF \t 6\n2 \t а\nб ", {" 0xF ", " 6\n2 ", " а\nб "});
        row("further tabs stay in the description", "0xF\t1\t\tD\t", {"0xF", "1", "\tD\t"});
        row("long fields", "0x12345\t12345\t", {"0x12345", "12345", ""}, {"0x1234", "12345", ""});
        row("tab in the channel", "0xF\t6\t2\tD", {"0xF", "6\t2", "D"}, {"0xF", "6", "2\tD"});
        row("one tab: no channel", "0x12345\t", {}, {"0x1234", ""});
        row("no tab", "Москва, центр", {}, {"Москва", "Москва, центр"});
    }

    void entries()
    {
        QFETCH(QString, entry);
        QFETCH(QStringList, built);
        QFETCH(QStringList, split);

        if (!built.isEmpty())
            QCOMPARE(BuildCellEntry(built[0], built[1], built[2]), entry);
        const CellEntryFields fields = SplitCellEntry(entry);
        QCOMPARE(fields.key, split.first());
        QCOMPARE(fields.channel.value_or("none"), split.size() == 3 ? split[1] : "none");
        QCOMPARE(fields.description, split.last());
    }

    void codePageMatchesWindows1251()
    {
        QStringDecoder system("windows-1251");
        if (!system.isValid())
            QSKIP("This Qt has no windows-1251 converter to compare with");
        for (int b = 0; b < 256; ++b) {
            const QByteArray byte(1, char(b));
            // 0x98 has no character; ours stands for itself so that any file re-saves intact.
            const QString expected = b == 0x98 ? QString(QChar(0x98)) : system.decode(byte);
            QCOMPARE(decodeCp1251(byte), expected);
            QByteArray written;
            QVERIFY(appendCp1251(expected, &written));
            QCOMPARE(written, byte);
        }
    }

    void reading_data()
    {
        QTest::addColumn<Read>("read");
        const qsizetype mib = CellListReader::defaultMaxLineBytes;
        const auto in = [](const char *encoding, Read read) {
            read.encoding = encoding;
            return read;
        };
        const QString text = "Ёж\r\nb\rc\nd😀\r\n"; // as UTF-16 after its BOM
        const QStringList lines = {"Ёж", "b", "c\nd😀"};
        const QByteArray le = QStringEncoder(QStringConverter::Utf16LE)(text);
        const QByteArray be = QStringEncoder(QStringConverter::Utf16BE)(text);
        const std::pair<const char *, Read> cases[] = {
            {"CR LF, last line without", {"a\tb\r\nc\r\nd", {"a\tb", "c", "d"}}},
            {"CR LF CR LF gives one empty line, not two", {"a\r\n\r\n", {"a", ""}}},
            {"CR alone, CR CR LF", {"a\rb\r\r\nc\r\r", {"a", "b", "", "c", ""}}},
            {"LF alone is text", {"a\r\nb\rc\nd\n\re\n", {"a", "b", "c\nd\n", "e\n"}}},
            {"empty file", {"", {}}},
            {"UTF-8 BOM is not text, NUL is",
             in("UTF-8", {QByteArray("\xEF\xBB\xBF\0", 4), {QString(QChar(0))}})},
            {"UTF-16 LE: CR LF, CR, LF as text", in("UTF-16 LE", {"\xFF\xFE" + le, lines})},
            {"UTF-16 BE: CR LF, CR, LF as text", in("UTF-16 BE", {"\xFE\xFF" + be, lines})},
            {"UTF-16: the limit counts bytes",
             in("UTF-16 LE", {"\xFF\xFE" + le, {"Ёж", "b"}, Status::LineTooLong, 4})},
            {"UTF-8 decided by the first line above ASCII; a line not UTF-8 is 1251",
             in("UTF-8",
                {"0x1\r\n" + QString("Ёж €\r\n").toUtf8() + "\xCE\xEF", {"0x1", "Ёж €", "Оп"}})},
            {"Windows-1251 decided first: a later UTF-8 line stays 1251",
             {"a\r\n\xCE\xEF\r\n" + QString("Ёж").toUtf8(),
              {"a", "Оп", decodeCp1251(QString("Ёж").toUtf8())}}},
            {"disk fails after whole lines", {"a\r\nb\r\n", {"a", "b"}, Status::Error}},
            {"disk fails inside a line", {"a\r\nb", {"a"}, Status::Error}},
            {"line of exactly the limit", {"1234\r\nx", {"1234", "x"}, Status::EndOfFile, 4}},
            {"line one over the limit", {"ab\r\n12345\r\nx", {"ab"}, Status::LineTooLong, 4}},
            {"LF counts toward the limit", {"12\n34\r\n", {}, Status::LineTooLong, 4}},
            {"a line of 1 MiB passes", {QByteArray(mib, 'a') + "\r\nx", {QString(mib, 'a'), "x"}}},
            {"open for writing", {"a\r\n", {}, Status::Error, mib, QIODevice::WriteOnly}},
            {"in text mode",
             {"a\r\n", {}, Status::Error, mib, QIODevice::ReadOnly | QIODevice::Text}},
        };
        // Line ends split between two reads, and devices that hand out less than asked for.
        const QPoint stepAndChunk[] = {{1, 1}, {2, 2}, {3, 3}, {2, 65536}, {1 << 20, 65536}};
        for (auto [name, read] : cases) {
            for (const QPoint sc : stepAndChunk) {
                read.stepAndChunk = sc;
                QTest::addRow("%s, %d-byte reads into %d", name, sc.x(), sc.y()) << read;
            }
        }
    }

    void reading()
    {
        QFETCH(Read, read);
        const bool failAtEnd = read.end == Status::Error && read.mode == QIODevice::ReadOnly;
        TestDevice device(read.bytes, read.stepAndChunk.x(), failAtEnd);
        QVERIFY(device.open(read.mode));
        CellListReader reader(&device, read.maxLineBytes, read.stepAndChunk.y());
        QStringList lines;
        QString line;
        Status status;
        while ((status = reader.readLine(&line)) == Status::Line)
            lines << line;
        QCOMPARE(lines, read.lines);
        QCOMPARE(status, read.end);
        QCOMPARE(encodingName(reader.encoding()), read.encoding);
        line = "untouched";
        QVERIFY2(reader.readLine(&line) == status && line == "untouched", "did not stay stopped");
        QCOMPARE(reader.linesRead(), lines.size());
        QCOMPARE(reader.errorString().isEmpty(), status == Status::EndOfFile);
        if (failAtEnd)
            QCOMPARE(reader.errorString(), QString("Simulated disk failure"));
    }

    void saving_data()
    {
        QTest::addColumn<Save>("save");
        const std::pair<const char *, Save> rows[] = {
            {"cell 6699, channel 62, Cyrillic",
             {{"0x1A2B\t62\tЁё"}, QByteArray::fromHex("30783141324209363209A8B80D0A")}},
            {"empty entries, LF and blanks", {{"a", "", " a\nb\t "}, "a\r\n\r\n a\nb\t \r\n"}},
            {"no entries, no bytes", {{}, ""}},
            {"U+0080", {{"ok", QString(QChar(0x80))}, "former", "", 1}},
            {"first of several", {{"a", "", "Цена €5 é", "中😀"}, "former", "", 2}},
            {"a line as long as a read takes",
             {{QString(maxLineBytes, u'x')}, QByteArray(maxLineBytes, 'x') + "\r\n"}},
            {"one character longer", {{"a", QString(maxLineBytes + 1, u'x')}, "former", "", 1}},
            {"renaming fails", {{"new"}, "former", "Simulated rename failure", -1, Commit::Fails}},
            {"folder missing",
             {{"new"}, "former", "папка не найдена", -1, Commit::Works, "missing/cells.txt"}},
            {"a read-only file, as a user",
             {{"new"},
              "former",
              "файл защищён от записи (",
              -1,
              Commit::Works,
              "cells.txt",
              "owner 0:0 444, as a user"}},
        };
        for (const auto &[name, save] : rows)
            QTest::newRow(name) << save;

        // Saved over a file shared with others. "As a user": without root's rights.
        const auto shared = [](const char *name, const QString &setUp,
                               const QMap<QString, QByteArray> &others = {},
                               Commit commit = Commit::Works, const QString &error = {}) {
            Save save{{"new"}, commit == Commit::Works ? "new\r\n" : "", error, -1, commit};
            save.setUp = setUp;
            save.others = others;
            QTest::newRow(name) << save;
        };
        shared("another owner and group", "owner 65534:65534 640");
        shared("another owner, as a user", "owner 65534:0 660, as a user");
        shared("a group not ours, as a user", "owner 0:65534 640, as a user");
        shared("a second name", "second name", {{"other.txt", "new\r\n"}});
        shared("a read-only folder, as a user", "read-only folder, as a user");
        shared("an extended attribute", "attribute");
        const QString copyIn = "прежнее содержимое файла сохранено в %1/";
        shared("failing halfway leaves a copy", "second name",
               {{"other.txt", ""}, {"cells.txt~", "former"}}, Commit::FailsHalfway,
               copyIn + "cells.txt~");
        shared("the user's own copy stays", "second name, own copy",
               {{"other.txt", ""}, {"cells.txt~", "mine"}, {"cells.txt~2", "former"}},
               Commit::FailsHalfway, copyIn + "cells.txt~2");
    }

    void saving()
    {
        QFETCH(Save, save);
        const EncodedCellList encoded = encodeCellList(save.entries);
        QCOMPARE(encoded.badEntry, save.bad);
        QVERIFY(encoded.ok() || encoded.bytes.isEmpty());
        QTemporaryDir dir;
        QFile file(dir.filePath("cells.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("former") == 6);
        file.close();
#ifdef Q_OS_LINUX
        const auto writable = qScopeGuard([&] {
            QFile::setPermissions(dir.path(),
                                  QFile::WriteOwner | QFile::ReadOwner | QFile::ExeOwner);
        });
        if (!share(save.setUp, dir.path()))
            QSKIP("cannot share a file so here");
        std::optional<AsAUser> user;
        if (save.setUp.endsWith("as a user"))
            user.emplace();
#else
        if (!save.setUp.isEmpty())
            QSKIP("files are shared otherwise here");
#endif
        const QString before = whatFileIs(file.fileName());
        const CommitStep commit = [&](const QString &target,
                                      const std::function<bool(QString *)> &step, QString *why) {
            if (save.commit == Commit::Works)
                return step(why);
            if (save.commit == Commit::FailsHalfway)
                QFile::resize(target, 0);
            *why = "Simulated rename failure";
            return false;
        };
        QString reason;
        // A list with a character the code page lacks is refused whole, before the disk.
        const bool saved = encoded.ok() && saveFileAtomically(dir.filePath(save.name),
                                                              encoded.bytes, &reason, commit);
#ifdef Q_OS_LINUX
        user.reset();
#endif
        QCOMPARE(saved, encoded.ok() && save.error.isEmpty());
        QCOMPARE(reason.isEmpty(), save.error.isEmpty());
        QVERIFY2(reason.contains(save.error.replace("%1", dir.path())), qPrintable(reason));
        // The file stays what it was, and nothing is left behind.
        QCOMPARE(whatFileIs(file.fileName()), before);
        save.others["cells.txt"] = save.file;
        QCOMPARE(filesIn(dir.path()), save.others);

        // A full disk takes part of the bytes and says nothing; the count tells.
        TestDevice full({}, 5);
        QVERIFY(full.open(QIODevice::WriteOnly));
        QVERIFY(!writeAll(full, "0x1A2B\t62\tX\r\n", &reason));
        QCOMPARE(reason, QString("5 of 13 bytes written"));
    }
};

QTEST_GUILESS_MAIN(TestStorage)
#include "tst_storage.moc"
