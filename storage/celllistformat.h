#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

class QIODevice;

namespace vusk {

// One read of a file takes at most this many lines; the rest is ignored.
inline constexpr int maxLinesPerRead = 2000;
// Longest line, in bytes without its line end, that a read takes; every entry written
// must fit in it to be read back.
inline constexpr qsizetype maxLineBytes = qsizetype(1) << 20;

// ---- Writing ---------------------------------------------------------------------

struct EncodedCellList
{
    QByteArray bytes;        // empty unless ok()
    qsizetype badEntry = -1; // first entry that cannot be written
    bool tooLong = false;    // it is longer than maxLineBytes, rather than holding a
                             // character Windows-1251 cannot hold

    bool ok() const { return badEntry < 0; }
};

// The whole file: every entry in Windows-1251 followed by CR LF, the last one included,
// and nothing else (no byte order mark). An entry longer than maxLineBytes is refused.
EncodedCellList encodeCellList(const QStringList &entries);

// ---- Reading ---------------------------------------------------------------------

// What a file's text is in. Lists are always written in Windows-1251.
enum class TextEncoding
{
    Windows1251,
    Utf8,
    Utf16LE,
    Utf16BE,
};

// The name a user knows the encoding by: "Windows-1251", "UTF-8", "UTF-16 LE", "UTF-16 BE".
QString encodingName(TextEncoding encoding);

// Delivers the lines of a cell list file one per call, so a caller can hand control
// back to the event loop between lines. Only a bounded window of the file is ever
// held in memory.
//
// A line ends at CR LF or at a lone CR; a LF not preceded by CR is text. The end of
// the device ends the last line, and a final line end gives no extra empty line.
//
// The device must be open for reading in binary mode: text mode would drop the CRs
// the line ends are made of. A read that returns no bytes counts as the end of the
// device.
//
// Files written by other tools are read as what they are. One that starts with a
// UTF-8, UTF-16 LE or UTF-16 BE byte order mark is in that encoding (the mark is not
// text; in UTF-16 the line ends are the same characters, two bytes each). Without a
// mark, the first line holding a byte above 127 decides for the whole file: UTF-8 when
// that line is valid UTF-8, Windows-1251 otherwise. Windows-1251 text is practically
// never valid UTF-8 (every Cyrillic letter would have to be followed by one to three
// of the rarely used characters 0x80-0xBF), so Windows-1251 and ASCII files read byte
// for byte as ever; deciding once keeps a later line from being read differently. In a UTF-8
// file, a line that is not valid UTF-8 cannot be UTF-8: it is read as Windows-1251 and
// so saves back unchanged.
class CellListReader
{
    Q_GADGET

public:
    enum class Status
    {
        Line,        // *line holds the next line, without its line end
        EndOfFile,   // no characters left
        Error,       // the device failed; see errorString()
        LineTooLong, // a line exceeds maxLineBytes; reading cannot go on
    };
    Q_ENUM(Status)

    static constexpr qsizetype defaultMaxLineBytes = maxLineBytes;
    static constexpr qsizetype defaultChunkBytes = qsizetype(64) << 10;

    explicit CellListReader(QIODevice *device, qsizetype maxLineBytes = defaultMaxLineBytes,
                            qsizetype chunkBytes = defaultChunkBytes);

    // Once EndOfFile, Error or LineTooLong has been returned, every further call
    // returns the same status. *line is only written for Status::Line.
    Status readLine(QString *line);

    QString errorString() const { return m_errorString; }

    // Lines delivered so far.
    qsizetype linesRead() const { return m_linesRead; }

    // The file's encoding as far as known: Windows-1251 until a byte order mark or a
    // line of valid UTF-8 has said otherwise.
    TextEncoding encoding() const { return m_encoding; }

    // The bytes taken from the device that are still held, lines delivered or not:
    // they end at the device's position. Who owns the file can check that they are
    // still what it holds.
    QByteArrayView heldBytes() const { return m_buffer; }

private:
    // Reads one more chunk after dropping the consumed bytes. False at the end of the
    // device or on error (m_finished is then set).
    bool fill();
    // Looks for a byte order mark at the start of the device. False on error.
    bool readByteOrderMark();
    // Offset of the first CR from m_lineStart, at or after m_scanned; -1 if none.
    qsizetype findCr(qsizetype available) const;
    bool isLf(const char *at) const;
    QString decode(QByteArrayView bytes);
    Status finish(Status status, const QString &errorString = {});

    QIODevice *m_device;
    qsizetype m_maxLineBytes;
    qsizetype m_chunkBytes;
    QByteArray m_buffer;
    qsizetype m_lineStart = 0; // start of the next line in m_buffer
    qsizetype m_scanned = 0;   // bytes after m_lineStart known to hold no CR
    bool m_atEnd = false;      // the device has delivered its last byte
    bool m_startRead = false;  // the byte order mark, if any, is behind us
    TextEncoding m_encoding = TextEncoding::Windows1251;
    bool m_encodingKnown = false;
    std::optional<Status> m_finished;
    QString m_errorString;
    qsizetype m_linesRead = 0;
};

} // namespace vusk
