#pragma once

#include "celllistformat.h"
#include "filestamp.h"

#include <QFile>
#include <QObject>
#include <QTimer>
#include <optional>

namespace vusk {

// Reads a cell list file one line per turn of the event loop, so that whatever
// the user does between two lines runs to its end first. While a modal window is
// open the read waits for it. At most maxLinesPerRead lines per read.
class CellListReading : public QObject
{
    Q_OBJECT

public:
    enum class End
    {
        EndOfFile,     // every line of the file was read
        LineLimit,     // the limit was reached and nothing followed it
        MoreThanLimit, // the limit was reached and the file holds more
        Failed,        // reading failed; what was read stays
    };
    Q_ENUM(End)

    explicit CellListReading(QObject *parent = nullptr);

    // Opens the file and starts reading it; only while no read is under way.
    // False, with the reason, when the file cannot be opened.
    bool start(const QString &path, QString *error);
    bool isReading() const { return m_reader.has_value(); }
    // Whether a read under way holds the file that path names now, under whatever name.
    bool isReadingFile(const QString &path) const;
    // Ends a read without a word, keeping what it added: the program is closing.
    void abandon();
    // The file being read, or the last one a read started on.
    QString path() const { return m_path; }

signals:
    void lineRead(const QString &line);
    // The file turned out to be in another encoding than Windows-1251; once per read.
    void encodingFound(vusk::TextEncoding encoding);
    // A modal window has come up and the read waits for it to close.
    void held();
    void finished(vusk::CellListReading::End end, const QString &error);

private:
    void readOneLine();
    bool fileChanged();
    bool heldBytesUnchanged();
    void finish(End end, const QString &error = {});

    QString m_path;
    QFile m_file;
    std::optional<CellListReader> m_reader;
    QTimer m_turn;
    std::optional<FileStamp> m_stamp; // as the file was at the last line
    bool m_encodingTold = false;
};

} // namespace vusk
