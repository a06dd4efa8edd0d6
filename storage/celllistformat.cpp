#include "celllistformat.h"

#include "cp1251.h"

#include <QIODevice>
#include <QStringDecoder>

#include <algorithm>
#include <cstring>

namespace vusk {

namespace {

bool isAscii(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; });
}

std::optional<QString> decodeUtf8(QByteArrayView bytes)
{
    // Stateless: a sequence cut off at the end of the line is an error, not held back.
    // A U+FEFF at the start of a line is text like any other.
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                       QStringConverter::Flag::ConvertInitialBom);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

QString decodeUtf16(QByteArrayView bytes, bool bigEndian)
{
    const qsizetype units = bytes.size() / 2;
    QString text(units + bytes.size() % 2, Qt::Uninitialized);
    QChar *out = text.data();
    const auto *in = reinterpret_cast<const uchar *>(bytes.data());
    for (qsizetype i = 0; i < units; ++i, in += 2)
        *out++ = QChar(bigEndian ? char16_t(in[0] << 8 | in[1]) : char16_t(in[1] << 8 | in[0]));
    if (bytes.size() % 2) // half a character at the very end of the file
        *out = QChar::ReplacementCharacter;
    return text;
}

} // namespace

QString encodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Windows1251:
        break;
    case TextEncoding::Utf8:
        return QStringLiteral("UTF-8");
    case TextEncoding::Utf16LE:
        return QStringLiteral("UTF-16 LE");
    case TextEncoding::Utf16BE:
        return QStringLiteral("UTF-16 BE");
    }
    return QStringLiteral("Windows-1251");
}

EncodedCellList encodeCellList(const QStringList &entries)
{
    EncodedCellList result;
    qsizetype total = 0;
    for (const QString &entry : entries)
        total += entry.size() + 2;
    result.bytes.reserve(total);

    for (qsizetype i = 0; i < entries.size(); ++i) {
        // One character is one byte in Windows-1251.
        if (entries[i].size() > maxLineBytes) {
            result.bytes.clear();
            result.badEntry = i;
            result.tooLong = true;
            return result;
        }
        if (!appendCp1251(entries[i], &result.bytes)) {
            result.bytes.clear();
            result.badEntry = i;
            return result;
        }
        result.bytes.append("\r\n", 2);
    }
    return result;
}

CellListReader::CellListReader(QIODevice *device, qsizetype maxLineBytes, qsizetype chunkBytes)
    : m_device(device), m_maxLineBytes(std::max<qsizetype>(maxLineBytes, 0)),
      m_chunkBytes(std::max<qsizetype>(chunkBytes, 1))
{}

CellListReader::Status CellListReader::readLine(QString *line)
{
    if (m_finished)
        return *m_finished;
    if (!m_device || !m_device->isReadable())
        return finish(Status::Error, QStringLiteral("The device is not open for reading"));
    if (m_device->isTextModeEnabled())
        return finish(Status::Error, QStringLiteral("The device is open in text mode"));

    if (!m_startRead && !readByteOrderMark())
        return *m_finished;

    const qsizetype unit =
        m_encoding == TextEncoding::Utf16LE || m_encoding == TextEncoding::Utf16BE ? 2 : 1;
    for (;;) {
        const char *begin = m_buffer.constData() + m_lineStart;
        const qsizetype available = m_buffer.size() - m_lineStart;
        const qsizetype cr = findCr(available);
        // Half a UTF-16 character waits for the next chunk.
        qsizetype length = cr >= 0 ? cr : available - available % unit;
        if (length > m_maxLineBytes)
            return finish(Status::LineTooLong,
                          QStringLiteral("A line is longer than %1 bytes").arg(m_maxLineBytes));

        qsizetype consumed = 0;
        if (cr >= 0) {
            consumed = length + unit;
            if (consumed + unit <= available) {
                if (isLf(begin + consumed))
                    consumed += unit;
            } else if (!m_atEnd) {
                // The CR is the last character held; only the next chunk tells whether
                // a LF belongs to this line end.
                m_scanned = length;
                if (!fill())
                    return *m_finished;
                continue;
            }
        } else if (m_atEnd) {
            if (available == 0)
                return finish(Status::EndOfFile);
            consumed = length = available;
        } else {
            m_scanned = available - available % unit;
            if (!fill())
                return *m_finished;
            continue;
        }

        *line = decode(QByteArrayView(begin, length));
        m_lineStart += consumed;
        m_scanned = 0;
        ++m_linesRead;
        return Status::Line;
    }
}

bool CellListReader::readByteOrderMark()
{
    while (m_buffer.size() < 3 && !m_atEnd) {
        if (!fill())
            return false;
    }
    m_startRead = true;
    const std::pair<const char *, TextEncoding> marks[] = {
        {"\xEF\xBB\xBF", TextEncoding::Utf8},
        {"\xFF\xFE", TextEncoding::Utf16LE},
        {"\xFE\xFF", TextEncoding::Utf16BE},
    };
    for (const auto &[mark, encoding] : marks) {
        if (QByteArrayView(m_buffer).startsWith(mark)) {
            m_lineStart = qsizetype(std::strlen(mark));
            m_encoding = encoding;
            m_encodingKnown = true;
            break;
        }
    }
    return true;
}

qsizetype CellListReader::findCr(qsizetype available) const
{
    const char *begin = m_buffer.constData() + m_lineStart;
    if (m_encoding != TextEncoding::Utf16LE && m_encoding != TextEncoding::Utf16BE) {
        const auto *cr = static_cast<const char *>(
            std::memchr(begin + m_scanned, '\r', static_cast<size_t>(available - m_scanned)));
        return cr ? cr - begin : -1;
    }
    for (qsizetype at = m_scanned; at + 1 < available; at += 2) {
        if (m_encoding == TextEncoding::Utf16LE ? begin[at] == '\r' && begin[at + 1] == 0
                                                : begin[at] == 0 && begin[at + 1] == '\r')
            return at;
    }
    return -1;
}

bool CellListReader::isLf(const char *at) const
{
    switch (m_encoding) {
    case TextEncoding::Utf16LE:
        return at[0] == '\n' && at[1] == 0;
    case TextEncoding::Utf16BE:
        return at[0] == 0 && at[1] == '\n';
    default:
        return at[0] == '\n';
    }
}

QString CellListReader::decode(QByteArrayView bytes)
{
    switch (m_encoding) {
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE:
        return decodeUtf16(bytes, m_encoding == TextEncoding::Utf16BE);
    case TextEncoding::Utf8:
        break;
    case TextEncoding::Windows1251:
        if (m_encodingKnown || isAscii(bytes))
            return decodeCp1251(bytes);
        m_encodingKnown = true;
        if (std::optional<QString> text = decodeUtf8(bytes)) {
            m_encoding = TextEncoding::Utf8;
            return *text;
        }
        return decodeCp1251(bytes);
    }
    if (std::optional<QString> text = decodeUtf8(bytes))
        return *text;
    return decodeCp1251(bytes);
}

bool CellListReader::fill()
{
    m_buffer.remove(0, m_lineStart);
    m_lineStart = 0;

    const qsizetype held = m_buffer.size();
    m_buffer.resize(held + m_chunkBytes);
    const qint64 got = m_device->read(m_buffer.data() + held, m_chunkBytes);
    if (got < 0) {
        finish(Status::Error, m_device->errorString());
        return false;
    }
    m_buffer.truncate(held + got);
    if (got == 0)
        m_atEnd = true;
    return true;
}

CellListReader::Status CellListReader::finish(Status status, const QString &errorString)
{
    m_finished = status;
    m_errorString = errorString;
    // A refused long line may have filled the buffer; nothing in it is needed any more.
    m_buffer = QByteArray();
    m_lineStart = 0;
    m_scanned = 0;
    return status;
}

} // namespace vusk
