#include "celllistformat.h"

#include "cp1251.h"

#include <QIODevice>

#include <algorithm>
#include <cstring>

namespace vusk {

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
            result.badColumn = maxLineBytes;
            result.tooLong = true;
            return result;
        }
        qsizetype column = -1;
        if (!appendCp1251(entries[i], &result.bytes, &column)) {
            result.bytes.clear();
            result.badEntry = i;
            result.badColumn = column;
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

    for (;;) {
        const char *begin = m_buffer.constData() + m_lineStart;
        const qsizetype available = m_buffer.size() - m_lineStart;
        const auto *cr = static_cast<const char *>(
            std::memchr(begin + m_scanned, '\r', static_cast<size_t>(available - m_scanned)));
        const qsizetype length = cr ? cr - begin : available;
        if (length > m_maxLineBytes)
            return finish(Status::LineTooLong,
                          QStringLiteral("A line is longer than %1 bytes").arg(m_maxLineBytes));

        qsizetype consumed = 0;
        if (cr) {
            consumed = length + 1;
            if (consumed < available) {
                if (begin[consumed] == '\n')
                    ++consumed;
            } else if (!m_atEnd) {
                // The CR is the last byte held; only the next chunk tells whether a LF
                // belongs to this line end.
                m_scanned = length;
                if (!fill())
                    return *m_finished;
                continue;
            }
        } else if (m_atEnd) {
            if (available == 0)
                return finish(Status::EndOfFile);
            consumed = available;
        } else {
            m_scanned = available;
            if (!fill())
                return *m_finished;
            continue;
        }

        *line = decodeCp1251(QByteArrayView(begin, length));
        m_lineStart += consumed;
        m_scanned = 0;
        ++m_linesRead;
        return Status::Line;
    }
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

QStringList readCellList(QIODevice *device, int maxLines, CellListReader::Status *endStatus)
{
    QStringList lines;
    CellListReader reader(device);
    CellListReader::Status status = CellListReader::Status::Line;
    QString line;
    while (lines.size() < maxLines &&
           (status = reader.readLine(&line)) == CellListReader::Status::Line)
        lines.append(line);
    if (endStatus)
        *endStatus = status;
    return lines;
}

} // namespace vusk
