// Measures reading a 2000-line cell list into the main window, with its floors.
// Prints one table; run through `make bench` (offscreen, and under Xvfb where
// xvfb-run is installed).

#include "celllistformat.h"
#include "celllistmodel.h"
#include "celllistreading.h"
#include "cp1251.h"
#include "frmmain.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

constexpr int lineCount = 2000;
constexpr int largeList = 32000;
constexpr int rounds = 5;
// Lines just under the reader's 1 MiB cap: a file edited elsewhere at its worst.
constexpr int longLineCount = 200;
constexpr int longRounds = 3;

QByteArray cp1251(const QString &text)
{
    QByteArray bytes;
    if (!vusk::appendCp1251(text, &bytes))
        qFatal("not Windows-1251: %s", qPrintable(text));
    return bytes;
}

// Every line of the device, without the window: the floor a read cannot go under.
QStringList readAllLines(QIODevice *device)
{
    vusk::CellListReader reader(device);
    QStringList lines;
    QString line;
    while (reader.readLine(&line) == vusk::CellListReader::Status::Line)
        lines.append(line);
    return lines;
}

// Decodes every line of the device, the floor of any read; returns milliseconds.
double decodeMs(QIODevice *device, int expectedLines)
{
    QElapsedTimer clock;
    clock.start();
    const QStringList lines = readAllLines(device);
    const double ms = clock.nsecsElapsed() / 1e6;
    if (lines.size() != expectedLines)
        qFatal("decoding found %lld lines, not %d", qlonglong(lines.size()), expectedLines);
    return ms;
}

QByteArray cellListBytes()
{
    QByteArray bytes;
    for (int i = 0; i < lineCount; ++i)
        bytes += cp1251(QStringLiteral("0x%1\t62\tУлица %2, крыша\r\n")
                            .arg(QString::number(1000 + i, 16).toUpper())
                            .arg(i));
    return bytes;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

void writeLongLineFile(const QString &path)
{
    const QByteArray phrase = cp1251(QStringLiteral("Улица Ленина, дом 5, крыша; "));
    const qsizetype length = vusk::CellListReader::defaultMaxLineBytes - 64;
    QByteArray bytes;
    bytes.reserve((length + 2) * longLineCount);
    for (int i = 0; i < longLineCount; ++i) {
        const qsizetype start = bytes.size();
        bytes += "0x" + QByteArray::number(1000 + i, 16).toUpper() + "\t62\t";
        while (bytes.size() - start < length)
            bytes += phrase;
        bytes.truncate(start + length);
        bytes += "\r\n";
    }
    writeFile(path, bytes);
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

// Stamps events from another thread and notes how late the window's event loop
// handles them: the wait a key press would see.
class InputLatencyProbe : public QObject
{
public:
    struct Stamp : QEvent
    {
        explicit Stamp(qint64 at) : QEvent(QEvent::User), postedAt(at) {}
        qint64 postedAt;
    };

    void start()
    {
        m_clock.start();
        m_worst = 0;
        m_running = true;
        m_thread = std::thread([this] {
            while (m_running) {
                QCoreApplication::postEvent(this, new Stamp(m_clock.nsecsElapsed()));
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        });
    }
    double stopWorstMs()
    {
        m_running = false;
        if (m_thread.joinable())
            m_thread.join();
        QCoreApplication::removePostedEvents(this);
        return m_worst / 1e6;
    }

protected:
    bool event(QEvent *event) override
    {
        if (event->type() != QEvent::User)
            return QObject::event(event);
        m_worst = std::max(m_worst, m_clock.nsecsElapsed() - static_cast<Stamp *>(event)->postedAt);
        return true;
    }

private:
    QElapsedTimer m_clock;
    qint64 m_worst = 0;
    std::atomic<bool> m_running = false;
    std::thread m_thread;
};

// Chooses "Открыть" and answers the open dialog with the file's full path, as a
// person typing it would; any other window stops the bench.
void openThroughMenu(vusk::frmMain &window, const QString &file)
{
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        poll.stop();
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        if (!dialog) {
            const auto *box = qobject_cast<QMessageBox *>(modal);
            qFatal("unexpected window %s: %s", qPrintable(modal->windowTitle()),
                   qPrintable(box ? box->text() : QString()));
        }
        dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(file);
        static_cast<QDialog *>(dialog)->accept(); // as the Open button does
    });
    poll.start(10);
    window.findChild<QAction *>(QStringLiteral("mnuFileOpen"))->trigger();
}

struct ReadFigures
{
    double ms;
    double worstInputDelayMs;
};

// A read through the menu and the real open dialog, timed from its first line
// to its end.
ReadFigures timeRead(vusk::frmMain &window, const QString &file)
{
    QElapsedTimer clock;
    InputLatencyProbe probe;
    double ms = 0;
    double worst = 0;
    auto first =
        QObject::connect(&window.cellListReading(), &vusk::CellListReading::lineRead, &window, [&] {
            if (!clock.isValid()) {
                clock.start();
                probe.start();
            }
        });
    openThroughMenu(window, file);
    while (window.cellListReading().isReading())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (!clock.isValid())
        qFatal("the read did not run");
    ms = clock.nsecsElapsed() / 1e6;
    worst = probe.stopWorstMs();
    QObject::disconnect(first);
    return {ms, worst};
}

// Lets a new window finish showing and painting before it is timed.
void settle()
{
    QEventLoop loop;
    QTimer::singleShot(100, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("btsinfo.txt"));
    const QByteArray bytes = cellListBytes();
    writeFile(file, bytes);

    QList<double> decode, batch, readEmpty, readLarge, worstEmpty, worstLarge;
    for (int round = 0; round < rounds; ++round) {
        {
            QBuffer buffer;
            buffer.setData(bytes);
            buffer.open(QIODevice::ReadOnly);
            decode.append(decodeMs(&buffer, lineCount));
        }
        {
            vusk::frmMain window;
            window.show();
            settle();
            const QStringList lines = [&] {
                QBuffer buffer;
                buffer.setData(bytes);
                buffer.open(QIODevice::ReadOnly);
                return readAllLines(&buffer);
            }();
            QElapsedTimer clock;
            clock.start();
            for (const QString &line : lines)
                window.cellList().appendSoon(line);
            window.cellList().showPendingRows();
            window.repaint();
            batch.append(clock.nsecsElapsed() / 1e6);
        }
        {
            vusk::frmMain window;
            window.show();
            settle();
            const ReadFigures figures = timeRead(window, file);
            readEmpty.append(figures.ms);
            worstEmpty.append(figures.worstInputDelayMs);
        }
        {
            vusk::frmMain window;
            window.show();
            for (int i = 0; i < largeList; ++i)
                window.cellList().appendSoon(QStringLiteral("0x1\t1\tearlier entry"));
            window.cellList().showPendingRows();
            settle();
            const ReadFigures figures = timeRead(window, file);
            readLarge.append(figures.ms);
            worstLarge.append(figures.worstInputDelayMs);
        }
    }

    const double batchMs = median(batch);
    const double emptyMs = median(readEmpty);
    printf("platform %s, %d lines, median of %d rounds\n",
           qPrintable(QGuiApplication::platformName()), lineCount, rounds);
    printf("  decoding alone (floor)             %8.2f ms\n", median(decode));
    printf("  batch insertion and paint (floor)  %8.2f ms\n", batchMs);
    printf("  read into an empty list            %8.2f ms  (%.1f x batch, target <= 8)\n", emptyMs,
           emptyMs / batchMs);
    printf("  read into a list of %d          %8.2f ms  (%.2f x empty, target <= 1.5)\n", largeList,
           median(readLarge), median(readLarge) / emptyMs);
    printf("  worst input delay, empty list      %8.2f ms  (target < 16)\n",
           *std::max_element(worstEmpty.begin(), worstEmpty.end()));
    printf("  worst input delay, %d entries   %8.2f ms  (target < 16)\n", largeList,
           *std::max_element(worstLarge.begin(), worstLarge.end()));

    const QString longFile = dir.filePath(QStringLiteral("long-lines.txt"));
    writeLongLineFile(longFile);
    QList<double> longDecode, longRead;
    for (int round = 0; round < longRounds; ++round) {
        {
            QFile in(longFile);
            in.open(QIODevice::ReadOnly);
            longDecode.append(decodeMs(&in, longLineCount));
        }
        vusk::frmMain window;
        window.show();
        settle();
        longRead.append(timeRead(window, longFile).ms);
        if (window.cellList().count() != longLineCount)
            qFatal("the long lines were not all read");
    }
    const double longFloor = median(longDecode);
    printf("%d lines of just under 1 MiB, median of %d rounds\n", longLineCount, longRounds);
    printf("  decoding alone (floor)             %8.2f ms\n", longFloor);
    printf("  read into an empty list            %8.2f ms  (%.1f x floor, target <= 3)\n",
           median(longRead), median(longRead) / longFloor);
    return 0;
}
