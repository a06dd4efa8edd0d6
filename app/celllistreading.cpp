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
    m_encodingTold = false;
    m_turn.setInterval(0);
    m_turn.start();
    return true;
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
