#include "celllistreading.h"

#include "fileaccess.h"

#include <QApplication>

namespace vusk {

namespace {
// How often a read held by a modal window looks whether it may go on.
constexpr int heldPollMs = 50;
} // namespace

CellListReading::CellListReading(QObject *parent) : QObject(parent)
{
    m_turn.setInterval(0);
    connect(&m_turn, &QTimer::timeout, this, &CellListReading::readOneLine);
}

bool CellListReading::start(const QString &path, QString *error)
{
    // The caller tells the user that a read is under way; this one is never disturbed.
    Q_ASSERT(!isReading());
    m_path = path;
    if (!openRegularFileForReading(m_file, path, error))
        return false;
    m_reader.emplace(&m_file);
    m_stamp = fileStampOf(m_file);
    m_encodingTold = false;
    m_turn.setInterval(0);
    m_turn.start();
    return true;
}

bool CellListReading::isReadingFile(const QString &path) const
{
    return isReading() && isSameFile(path, m_file);
}

void CellListReading::readOneLine()
{
    // Modal windows run their own event loops, where this timer still fires; the
    // read waits until the window has closed.
    if (QApplication::activeModalWidget()) {
        if (m_turn.interval() != heldPollMs) {
            m_turn.setInterval(heldPollMs);
            emit held();
        }
        return;
    }
    m_turn.setInterval(0);

    if (fileChanged()) {
        // What was read so far are whole lines of the file as it was; the rest may
        // not fit them.
        finish(End::Failed, QStringLiteral("файл изменился во время чтения"));
        return;
    }

    QString line;
    switch (m_reader->readLine(&line)) {
    case CellListReader::Status::Line:
        break;
    case CellListReader::Status::EndOfFile:
        finish(End::EndOfFile);
        return;
    case CellListReader::Status::LineTooLong:
        finish(End::Failed, QStringLiteral("строка длиннее %1 байт — похоже, это не список сот")
                                .arg(CellListReader::defaultMaxLineBytes));
        return;
    case CellListReader::Status::Error:
        finish(End::Failed,
               QStringLiteral("ошибка чтения с диска (%1)").arg(m_reader->errorString()));
        return;
    }

    emit lineRead(line);
    if (!m_encodingTold && m_reader->encoding() != TextEncoding::Windows1251) {
        m_encodingTold = true;
        emit encodingFound(m_reader->encoding());
    }
    if (m_reader->linesRead() == maxLinesPerRead) {
        // One look past the limit tells whether the file was cut.
        QString next;
        const CellListReader::Status after = m_reader->readLine(&next);
        finish(after == CellListReader::Status::Line || after == CellListReader::Status::LineTooLong
                   ? End::MoreThanLimit
                   : End::LineLimit);
    }
}

bool CellListReading::fileChanged()
{
    // Asked of the file held open, not of its name: a file replaced or removed under
    // that name is read on, whole and as it was.
    const std::optional<FileStamp> now = m_stamp ? fileStampOf(m_file) : std::nullopt;
    if (!now || *now == *m_stamp)
        return false;
    // Only a rewrite makes a file shorter; the bytes held ahead of the next line
    // might no longer be in it at all.
    if (now->size < m_stamp->size)
        return true;
    // Written to since the last line. Lines appended at the end (another program
    // adding to the list) leave what was read as it was, and the read goes on into
    // them, so a new time alone says nothing. A rewrite in place shows in the bytes
    // the reader holds: the line being read and those read ahead, which it would
    // otherwise hand on as they were before.
    if (!heldBytesUnchanged())
        return true;
    m_stamp = now;
    return false;
}

bool CellListReading::heldBytesUnchanged()
{
    const QByteArrayView held = m_reader->heldBytes();
    const qint64 end = m_file.pos();
    const bool same = m_file.seek(end - held.size()) && m_file.read(held.size()) == held;
    return m_file.seek(end) && same;
}

void CellListReading::abandon()
{
    m_turn.stop();
    m_reader.reset();
    m_file.close();
}

void CellListReading::finish(End end, const QString &error)
{
    abandon();
    emit finished(end, error);
}

} // namespace vusk
