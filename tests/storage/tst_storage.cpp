#include "cellentry.h"
#include "celllistfile.h"
#include "celllistformat.h"
#include "cp1251.h"
#include "readable.h"

#include <QBuffer>
#include <QDir>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>
#endif

using namespace vusk;
using Fields = CellEntryFields;
using Status = CellListReader::Status;

namespace {

const QString diskFailure = "Simulated disk failure";
const QString stagedFailure = "disk gone at the last step";
const QByteArray former = "former"; // what cells.txt holds before each save

// Hands out `step` bytes at a time, as pipes do; may fail at the end.
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
            setErrorString(diskFailure);
        return n == 0 && m_fail ? -1 : n;
    }

    qint64 m_step;
    bool m_fail;
};

struct EntryRow
{
    QString entry;
    std::optional<Fields> built = {}; // none: not built
    std::optional<Fields> split = {}; // none: the fields it is built from
};

struct Read
{
    QByteArray bytes;
    QStringList lines;              // every line delivered before the read ended
    Status end = Status::EndOfFile; // Error while open for reading: the device itself fails
    qsizetype maxLineBytes = CellListReader::defaultMaxLineBytes;
    QIODevice::OpenMode mode = QIODevice::ReadOnly;
    QString encoding = "Windows-1251"; // the file's, as found by the end
    qint64 handedOut = 0;              // bytes the device hands out at a time
    qsizetype chunk = 0;               // bytes the reader asks for at a time
};

enum class Commit
{
    Works,
    FailsHalfway, // having emptied the file
};

// A list saved over cells.txt.
struct Save
{
    QStringList entries = {};
    QByteArray file = former; // what cells.txt holds afterwards
    qsizetype refused = -1;   // the entry the list is refused at, before the disk
    QString error = {};       // found in the reason given when the list is not saved
    Commit commit = Commit::Works;
    QString name = "cells.txt";            // saved under, in the folder
    QString setUp = {};                    // how cells.txt is shared; it stays so
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
        QTest::addColumn<EntryRow>("row");
        const std::pair<const char *, EntryRow> rows[] = {
            {"blanks and line feeds kept",
             {.entry = " 0xF \t 6\n2 \t а\nб ",
              .built = Fields{.key = " 0xF ", .channel = " 6\n2 ", .description = " а\nб "}}},
            {"long fields",
             {.entry = "0x12345\t12345\t",
              .built = Fields{.key = "0x12345", .channel = "12345", .description = ""},
              .split = Fields{.key = "0x1234", .channel = "12345", .description = ""}}},
            {"tab in the channel",
             {.entry = "0xF\t6\t2\tD",
              .built = Fields{.key = "0xF", .channel = "6\t2", .description = "D"},
              .split = Fields{.key = "0xF", .channel = "6", .description = "2\tD"}}},
            {"one tab: no channel",
             {.entry = "0x12345\t",
              .split = Fields{.key = "0x1234", .channel = std::nullopt, .description = ""}}},
            {"no tab",
             {.entry = "Москва, центр",
              .split = Fields{.key = "Москва",
                              .channel = std::nullopt,
                              .description = "Москва, центр"}}},
        };
        for (const auto &[name, row] : rows)
            QTest::newRow(name) << row;
    }

    void entries()
    {
        QFETCH(EntryRow, row);
        if (const std::optional<Fields> &from = row.built) {
            COMPARE_TEXT("entry built from the fields",
                         BuildCellEntry(from->key, from->channel.value(), from->description),
                         row.entry);
        }
        const Fields expected = row.split.value_or(row.built.value_or(Fields{}));
        const Fields split = SplitCellEntry(row.entry);
        COMPARE_TEXT("key split off", split.key, expected.key);
        COMPARE_TEXT("channel split off", split.channel.value_or("(none)"),
                     expected.channel.value_or("(none)"));
        COMPARE_TEXT("description split off", split.description, expected.description);
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
            const QString hex = "0x" + byte.toHex().toUpper();
            COMPARE_TEXT(qUtf8Printable("byte " + hex + " read"), decodeCp1251(byte), expected);
            QByteArray written;
            QVERIFY2(appendCp1251(expected, &written) && written == byte,
                     qUtf8Printable(QString("«%1» written as 0x%2, not as %3")
                                        .arg(expected, written.toHex().toUpper(), hex)));
        }
    }

    void reading_data()
    {
        QTest::addColumn<Read>("read");
        const qsizetype mib = CellListReader::defaultMaxLineBytes;
        const QString text = "Ёж\r\nb\rc\nd😀\r\n"; // as UTF-16 after its BOM
        const QStringList lines = {"Ёж", "b", "c\nd😀"};
        const QByteArray le = QStringEncoder(QStringConverter::Utf16LE)(text);
        const QByteArray be = QStringEncoder(QStringConverter::Utf16BE)(text);
        const std::pair<const char *, Read> cases[] = {
            {"CR LF, last line without", {.bytes = "a\tb\r\nc\r\nd", .lines = {"a\tb", "c", "d"}}},
            {"CR alone, CR CR LF", {.bytes = "a\rb\r\r\nc\r\r", .lines = {"a", "b", "", "c", ""}}},
            {"LF alone is text",
             {.bytes = "a\r\nb\rc\nd\n\re\n", .lines = {"a", "b", "c\nd\n", "e\n"}}},
            {"empty file", {.bytes = "", .lines = {}}},
            {"UTF-8 BOM is not text, NUL is",
             {.bytes = QByteArray("\xEF\xBB\xBF\0", 4),
              .lines = {QString(QChar(0))},
              .encoding = "UTF-8"}},
            {"UTF-16 LE: CR LF, CR, LF as text",
             {.bytes = "\xFF\xFE" + le, .lines = lines, .encoding = "UTF-16 LE"}},
            {"UTF-16 BE: CR LF, CR, LF as text",
             {.bytes = "\xFE\xFF" + be, .lines = lines, .encoding = "UTF-16 BE"}},
            {"UTF-16: the limit counts bytes",
             {.bytes = "\xFF\xFE" + le,
              .lines = {"Ёж", "b"},
              .end = Status::LineTooLong,
              .maxLineBytes = 4,
              .encoding = "UTF-16 LE"}},
            {"UTF-8 decided by the first line above ASCII; a line not UTF-8 is 1251",
             {.bytes = "0x1\r\n" + QString("Ёж €\r\n").toUtf8() + "\xCE\xEF",
              .lines = {"0x1", "Ёж €", "Оп"},
              .encoding = "UTF-8"}},
            {"Windows-1251 decided first: a later UTF-8 line stays 1251",
             {.bytes = "a\r\n\xCE\xEF\r\n" + QString("Ёж").toUtf8(),
              .lines = {"a", "Оп", decodeCp1251(QString("Ёж").toUtf8())}}},
            {"disk fails inside a line", {.bytes = "a\r\nb", .lines = {"a"}, .end = Status::Error}},
            {"line one over the limit",
             {.bytes = "ab\r\n12345\r\nx",
              .lines = {"ab"},
              .end = Status::LineTooLong,
              .maxLineBytes = 4}},
            {"LF counts toward the limit",
             {.bytes = "12\n34\r\n", .lines = {}, .end = Status::LineTooLong, .maxLineBytes = 4}},
            {"a line of 1 MiB passes",
             {.bytes = QByteArray(mib, 'a') + "\r\nx", .lines = {QString(mib, 'a'), "x"}}},
            {"open for writing",
             {.bytes = "a\r\n", .lines = {}, .end = Status::Error, .mode = QIODevice::WriteOnly}},
            {"in text mode",
             {.bytes = "a\r\n",
              .lines = {},
              .end = Status::Error,
              .mode = QIODevice::ReadOnly | QIODevice::Text}},
        };
        // Line ends split between two reads, and devices that hand out less than asked for.
        const std::pair<qint64, qsizetype> handedOutAndChunk[] = {
            {1, 1}, {2, 2}, {3, 3}, {2, 65536}, {1 << 20, 65536}};
        for (auto [name, read] : cases) {
            for (const auto &[handedOut, chunk] : handedOutAndChunk) {
                read.handedOut = handedOut;
                read.chunk = chunk;
                QTest::addRow("%s, %lld-byte reads into %lld", name, handedOut, qint64(chunk))
                    << read;
            }
        }
    }

    void reading()
    {
        QFETCH(Read, read);
        const bool failAtEnd = read.end == Status::Error && read.mode == QIODevice::ReadOnly;
        TestDevice device(read.bytes, read.handedOut, failAtEnd);
        QVERIFY(device.open(read.mode));
        CellListReader reader(&device, read.maxLineBytes, read.chunk);
        QStringList lines;
        QString line;
        Status status;
        while ((status = reader.readLine(&line)) == Status::Line)
            lines << line;
        COMPARE_LINES("lines read", lines, read.lines);
        QCOMPARE(status, read.end);
        QCOMPARE(encodingName(reader.encoding()), read.encoding);
        line = "untouched";
        QCOMPARE(reader.readLine(&line), status); // it stays stopped
        COMPARE_TEXT("line after the end", line, "untouched");
        QCOMPARE(reader.linesRead(), lines.size());
        QCOMPARE(reader.errorString().isEmpty(), status == Status::EndOfFile);
        if (failAtEnd)
            COMPARE_TEXT("error string", reader.errorString(), diskFailure);
    }

    void saving_data()
    {
        QTest::addColumn<Save>("save");
        const std::pair<const char *, Save> rows[] = {
            {"empty entries, LF and blanks",
             {.entries = {"a", "", " a\nb\t "}, .file = "a\r\n\r\n a\nb\t \r\n"}},
            {"no entries, no bytes", {.entries = {}, .file = ""}},
            {"U+0080", {.entries = {"ok", QString(QChar(0x80))}, .refused = 1}},
            {"first of several", {.entries = {"a", "", "Цена €5 é", "中😀"}, .refused = 2}},
            {"a line as long as a read takes",
             {.entries = {QString(maxLineBytes, u'x')},
              .file = QByteArray(maxLineBytes, 'x') + "\r\n"}},
            {"folder missing",
             {.entries = {"new"}, .error = "папка не найдена", .name = "missing/cells.txt"}},
            {"a read-only file, as a user",
             {.entries = {"new"},
              .error = "файл защищён от записи (",
              .setUp = "owner 0:0 444, as a user"}},
        };
        for (const auto &[name, save] : rows)
            QTest::newRow(name) << save;

        // Saved over a file shared with others. "As a user": without root's rights.
        const auto shared = [](const char *name, Save save) {
            save.entries = {"new"};
            save.file = save.commit == Commit::Works ? "new\r\n" : "";
            QTest::newRow(name) << save;
        };
        shared("another owner and group", {.setUp = "owner 65534:65534 640"});
        shared("another owner, as a user", {.setUp = "owner 65534:0 660, as a user"});
        shared("a group not ours, as a user", {.setUp = "owner 0:65534 640, as a user"});
        shared("a second name", {.setUp = "second name", .others = {{"other.txt", "new\r\n"}}});
        shared("a read-only folder, as a user", {.setUp = "read-only folder, as a user"});
        shared("an extended attribute", {.setUp = "attribute"});
        const QString copyIn = "прежнее содержимое файла сохранено в %1/";
        shared("the user's own copy stays",
               {.error = copyIn + "cells.txt~2",
                .commit = Commit::FailsHalfway,
                .setUp = "second name, own copy",
                .others = {{"other.txt", ""}, {"cells.txt~", "mine"}, {"cells.txt~2", former}}});
    }

    void saving()
    {
        QFETCH(Save, save);
        const EncodedCellList encoded = encodeCellList(save.entries);
        QCOMPARE(encoded.badEntry, save.refused);
        QVERIFY2(encoded.ok() || encoded.bytes.isEmpty(), "a refused list still has bytes");
        QTemporaryDir dir;
        QFile file(dir.filePath("cells.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(former) == former.size());
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
            *why = stagedFailure;
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
        const QString error = save.error.replace("%1", dir.path());
        if (error.isEmpty())
            COMPARE_TEXT("reason the save gave", reason, "");
        QVERIFY2(reason.contains(error),
                 qUtf8Printable(QString("the reason «%1» does not hold «%2»").arg(reason, error)));
        // The file stays what it was, and nothing is left behind.
        COMPARE_TEXT("owner, group, permissions, names and attributes of cells.txt",
                     whatFileIs(file.fileName()), before);
        save.others["cells.txt"] = save.file;
        const QMap<QString, QByteArray> files = filesIn(dir.path());
        COMPARE_LINES("files in the folder", files.keys(), save.others.keys());
        for (auto it = files.cbegin(); it != files.cend(); ++it)
            COMPARE_TEXT(qUtf8Printable(it.key() + " read as Windows-1251"),
                         decodeCp1251(it.value()), decodeCp1251(save.others[it.key()]));
    }

    void unfinishedSaveHasNoName()
    {
        QTemporaryDir dir;
#ifdef O_TMPFILE
        const int unnamed = ::open(QFile::encodeName(dir.path()), O_TMPFILE | O_WRONLY, 0600);
        if (unnamed < 0)
            QSKIP("this file system holds no unnamed files");
        ::close(unnamed);
#else
        QSKIP("files are named from the start here");
#endif
        // Until its last step, a save that a crash cut short would have left nothing.
        QFile file(dir.filePath("cells.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(former) == former.size());
        file.close();
        QStringList seen;
        const auto look = [&](const QString &, const std::function<bool(QString *)> &step,
                              QString *why) {
            seen = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
            return step(why);
        };
        QString reason;
        QVERIFY2(saveFileAtomically(file.fileName(), "new\r\n", &reason, look),
                 qUtf8Printable(reason));
        COMPARE_LINES("files in the folder before the last step", seen, {"cells.txt"});
    }
};

QTEST_GUILESS_MAIN(TestStorage)
#include "tst_storage.moc"
