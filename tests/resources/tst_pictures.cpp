// Runs the picture generator and looks at its drawings as a person would, then
// checks that the program shows exactly those drawings. Runs at a device pixel
// ratio of 2 (see CMakeLists.txt), where the program must pick the @2x files.
#include "icowriter.h"
#include "linklabel.h"
#include "picture.h"
#include "pictures.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QTest>

using picturegen::Picture;

namespace {

QImage premultiplied(const QImage &image)
{
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// The mean and the largest difference of any colour channel, in premultiplied
// colour so that the hue of invisible pixels does not count.
std::pair<double, int> difference(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return {255, 255};
    const QImage pa = premultiplied(a), pb = premultiplied(b);
    qint64 sum = 0;
    int largest = 0;
    for (int y = 0; y < pa.height(); ++y) {
        for (int x = 0; x < pa.width(); ++x) {
            const QRgb p = pa.pixel(x, y), q = pb.pixel(x, y);
            for (const int d : {qAlpha(p) - qAlpha(q), qRed(p) - qRed(q), qGreen(p) - qGreen(q),
                                qBlue(p) - qBlue(q)}) {
                sum += std::abs(d);
                largest = std::max(largest, std::abs(d));
            }
        }
    }
    return {double(sum) / (4.0 * pa.width() * pa.height()), largest};
}

const Picture *find(const QString &name)
{
    static const std::vector<Picture> all = picturegen::allPictures();
    for (const Picture &picture : all) {
        if (picture.name == name)
            return &picture;
    }
    qFatal("no picture %s", qPrintable(name));
}

int distance(QRgb a, const QColor &b)
{
    return std::abs(qRed(a) - b.red()) + std::abs(qGreen(a) - b.green()) +
           std::abs(qBlue(a) - b.blue());
}

} // namespace

class TestPictures : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void drawings_data();
    void drawings();
    void cursorTipIsTheHotSpot();
    void iconHoldsEverySize();
};

void TestPictures::initTestCase()
{
    QCOMPARE(qApp->devicePixelRatio(), 2.0);
}

void TestPictures::drawings_data()
{
    // What a person would notice: the size, a background that shows through where
    // the picture has one, and the main colour (a share of the visible pixels close
    // to it). A drawing at 2x must be the same picture, only finer.
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("opaque");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<int>("closeTo");
    QTest::addColumn<double>("share");

    const auto row = [](const char *name, QSize size, bool opaque, QColor colour, int closeTo,
                        double share) {
        QTest::newRow(name) << name << size << opaque << colour << closeTo << share;
    };
    const QColor etchedGrey(167, 166, 170);
    row("app-icon-16", {16, 16}, false, QColor(34, 160, 60), 90, 0.1);
    row("app-icon-32", {32, 32}, false, QColor(34, 160, 60), 90, 0.1);
    row("app-icon-48", {48, 48}, false, QColor(34, 160, 60), 90, 0.1);
    row("antenna", {48, 48}, false, QColor(34, 160, 60), 90, 0.1);
    row("textfield", {32, 32}, false, Qt::white, 30, 0.25);
    row("add", {16, 16}, false, QColor(60, 170, 60), 110, 0.4);
    row("remove", {16, 16}, false, QColor(210, 40, 30), 110, 0.3);
    row("save", {16, 16}, false, QColor(50, 80, 170), 110, 0.25);
    row("divider", {16, 16}, false, etchedGrey, 4, 0.5);
    row("divider-grey", {16, 16}, false, etchedGrey, 4, 1.0);
    row("rule", {16, 16}, false, etchedGrey, 4, 0.5);
    row("header", {16, 16}, true, QColor(228, 228, 228), 40, 0.3);
    row("bullet", {4, 7}, false, QColor(150, 173, 207), 4, 1.0);
    row("portrait", {48, 48}, true, QColor(120, 120, 120), 1000, 1.0);
    row("cursor-hand", {32, 32}, false, Qt::white, 6, 0.5);
}

void TestPictures::drawings()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    QFETCH(bool, opaque);
    QFETCH(QColor, colour);
    QFETCH(int, closeTo);
    QFETCH(double, share);

    const Picture *picture = find(name);
    QCOMPARE(picture->size, size);
    QRect drawnAt1x;
    for (const int scale : {1, 2}) {
        const QImage image = picture->draw(scale);
        QCOMPARE(image.size(), size * scale);
        int clear = 0, visible = 0, near = 0;
        QRect drawn; // in 1x pixels
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = image.pixel(x, y);
                clear += qAlpha(pixel) == 0;
                if (qAlpha(pixel) < 255)
                    continue;
                ++visible;
                near += distance(pixel, colour) <= closeTo;
                drawn |= QRect(x / scale, y / scale, 1, 1);
            }
        }
        if (opaque) {
            QCOMPARE(visible, image.width() * image.height());
        } else {
            QVERIFY2(clear * 10 >= image.width() * image.height(), "no background shows through");
            QCOMPARE(qAlpha(image.pixel(image.width() - 1, 0)), 0);
            QCOMPARE(qAlpha(image.pixel(image.width() - 1, image.height() - 1)), 0);
        }
        QVERIFY2(near >= share * visible, qPrintable(QString("%1 of %2 pixels near %3 at %4x")
                                                         .arg(near)
                                                         .arg(visible)
                                                         .arg(colour.name())
                                                         .arg(scale)));
        // Not cut off: the drawing sits in the middle of its picture, and at 2x in the
        // same place as at 1x, to a pixel.
        const QMargins margins(drawn.left(), drawn.top(), size.width() - 1 - drawn.right(),
                               size.height() - 1 - drawn.bottom());
        QVERIFY2(std::abs(margins.left() - margins.right()) * 4 < size.width() &&
                     std::abs(margins.top() - margins.bottom()) * 4 < size.height(),
                 qPrintable(QString("drawn within %1,%2 %3x%4 at %5x")
                                .arg(drawn.x())
                                .arg(drawn.y())
                                .arg(drawn.width())
                                .arg(drawn.height())
                                .arg(scale)));
        if (scale == 1)
            drawnAt1x = drawn;
        const QMargins off = margins - QMargins(drawnAt1x.left(), drawnAt1x.top(),
                                                size.width() - 1 - drawnAt1x.right(),
                                                size.height() - 1 - drawnAt1x.bottom());
        QVERIFY2(std::max({std::abs(off.left()), std::abs(off.top()), std::abs(off.right()),
                           std::abs(off.bottom())}) <= 1,
                 "the 2x drawing is not where the 1x one is");
    }

    // The files under resources/ are what the generator draws now, and at a device
    // pixel ratio of 2 the program shows the @2x drawing.
    const QImage natural(":/images/" + name + ".png");
    QVERIFY2(difference(natural, picture->draw(1)).second <= 8, "stale file: run make pictures");
    const QPixmap shown = vusk::picture(name, picture->size);
    QCOMPARE(shown.devicePixelRatio(), 2.0);
    QVERIFY2(difference(shown.toImage(), picture->draw(2)).second <= 8,
             "stale @2x file: run make pictures");
}

void TestPictures::cursorTipIsTheHotSpot()
{
    // The pointer over links acts where the tip of the raised finger is drawn: the
    // hot spot is opaque and dark, and nothing is drawn above it.
    const QCursor cursor = vusk::LinkLabel().cursor();
    const QImage image = cursor.pixmap().toImage();
    QCOMPARE(image.size(), QSize(64, 64));
    const QPoint tip = cursor.hotSpot() * 2 + QPoint(1, 1);
    QVERIFY(qAlpha(image.pixel(tip)) == 255 && distance(image.pixel(tip), Qt::black) < 150);
    for (int y = 0; y < tip.y() - 2; ++y) {
        for (int x = 0; x < image.width(); ++x)
            QVERIFY2(qAlpha(image.pixel(x, y)) < 16, qPrintable(QString("%1,%2").arg(x).arg(y)));
    }
}

void TestPictures::iconHoldsEverySize()
{
    // Every program icon size, palettised and in full colour, each the whole drawing;
    // and the icon file under resources/ is what the generator writes now.
    QList<QImage> drawn;
    for (const Picture &picture : picturegen::allPictures()) {
        if (picture.name.startsWith("app-icon-"))
            drawn << picture.draw(1);
    }
    QBuffer fresh;
    fresh.setData(picturegen::buildIco(drawn));
    QFile committed(VUSK_ICO_FILE);
    for (QIODevice *ico : std::initializer_list<QIODevice *>{&fresh, &committed}) {
        QImageReader reader(ico, "ico");
        QCOMPARE(reader.imageCount(), 2 * drawn.size());
        for (int i = 0; i < reader.imageCount(); ++i) {
            QVERIFY(reader.jumpToImage(i));
            const QImage stored = reader.read();
            const auto same = std::find_if(drawn.begin(), drawn.end(), [&](const QImage &image) {
                return image.size() == stored.size();
            });
            QVERIFY2(same != drawn.end(), qPrintable(QString("image %1: no such size").arg(i)));
            const double mean = difference(stored, *same).first;
            QVERIFY2(mean < 12, qPrintable(QString("image %1 differs by %2").arg(i).arg(mean)));
        }
    }
}

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
