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
#include <QPainter>
#include <QTest>

using picturegen::Picture;

namespace {

// The mean and the largest difference of any colour channel, in premultiplied
// colour so that the hue of invisible pixels does not count.
std::pair<double, int> difference(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return {255, 255};
    const QImage pa = a.convertToFormat(QImage::Format_ARGB32_Premultiplied),
                 pb = b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    qint64 sum = 0;
    int largest = 0;
    for (qsizetype i = 0; i < pa.sizeInBytes(); ++i) { // each byte one channel of a pixel
        const int d = std::abs(pa.constBits()[i] - pb.constBits()[i]);
        sum += d;
        largest = std::max(largest, d);
    }
    return {double(sum) / double(pa.sizeInBytes()), largest};
}

QImage onWhite(const QImage &image)
{
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter(&flat).drawImage(0, 0, image);
    return flat;
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
    void initTestCase() { QCOMPARE(qApp->devicePixelRatio(), 2.0); }

    void drawings_data()
    {
        // What a person would notice: the size, a background that shows through where
        // the picture has one, and the main colour (a share of the visible pixels close
        // to it). A drawing at 2x must be the same picture, only finer. Dark outlines
        // must stay visible on a dark window: a light edge lies between them and the clear.
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("opaque");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<int>("closeTo");
        QTest::addColumn<double>("share");
        QTest::addColumn<bool>("lightEdge");

        const auto row = [](const char *name, QSize size, bool opaque, QColor colour, int closeTo,
                            double share, bool lightEdge = false) {
            QTest::newRow(name) << name << size << opaque << colour << closeTo << share
                                << lightEdge;
        };
        const QColor etchedGrey(167, 166, 170), green(34, 160, 60);
        row("app-icon-16", {16, 16}, false, green, 90, 0.1, true);
        row("app-icon-32", {32, 32}, false, green, 90, 0.1, true);
        row("app-icon-48", {48, 48}, false, green, 90, 0.1);
        row("antenna", {48, 48}, false, green, 90, 0.1, true);
        row("textfield", {32, 32}, false, Qt::white, 30, 0.25);
        row("add", {16, 16}, false, QColor(60, 170, 60), 110, 0.4, true);
        row("remove", {16, 16}, false, QColor(210, 40, 30), 110, 0.3, true);
        row("save", {16, 16}, false, QColor(50, 80, 170), 110, 0.25, true);
        row("divider", {16, 16}, false, etchedGrey, 4, 0.5);
        row("divider-grey", {16, 16}, false, etchedGrey, 4, 1.0);
        row("rule", {16, 16}, false, etchedGrey, 4, 0.5);
        row("header", {16, 16}, true, QColor(228, 228, 228), 40, 0.3);
        row("bullet", {4, 7}, false, QColor(150, 173, 207), 4, 1.0);
        row("portrait", {48, 48}, true, QColor(120, 120, 120), 1000, 1.0);
        row("cursor-hand", {32, 32}, false, Qt::white, 6, 0.5);
    }

    void drawings()
    {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        QFETCH(bool, opaque);
        QFETCH(QColor, colour);
        QFETCH(int, closeTo);
        QFETCH(double, share);
        QFETCH(bool, lightEdge);

        static const std::vector<Picture> all = picturegen::allPictures();
        const auto picture =
            std::find_if(all.begin(), all.end(), [&](auto &p) { return p.name == name; });
        QVERIFY(picture != all.end());
        QCOMPARE(picture->size, size);
        QMargins at1x;
        for (const int scale : {1, 2}) {
            const QImage image = picture->draw(scale).convertToFormat(QImage::Format_ARGB32);
            QCOMPARE(image.size(), size * scale);
            const auto clear = [&](int x, int y) {
                return image.rect().contains(x, y) && qAlpha(image.pixel(x, y)) == 0;
            };
            int clears = 0, visible = 0, near = 0;
            QRect drawn; // in 1x pixels
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const QRgb pixel = image.pixel(x, y);
                    clears += qAlpha(pixel) < 255; // the background shows through
                    QVERIFY2(!lightEdge || qAlpha(pixel) < 128 || qGray(pixel) >= 90 ||
                                 !(clear(x - 1, y) || clear(x + 1, y) || clear(x, y - 1) ||
                                   clear(x, y + 1)),
                             qPrintable(QString::asprintf("dark pixel at %d,%d on the clear at %dx",
                                                          x, y, scale)));
                    if (qAlpha(pixel) < 255)
                        continue;
                    ++visible;
                    near += distance(pixel, colour) <= closeTo;
                    drawn |= QRect(x / scale, y / scale, 1, 1);
                }
            }
            const int w = image.width(), h = image.height();
            const bool cornersClear =
                !qAlpha(image.pixel(w - 1, 0)) && !qAlpha(image.pixel(w - 1, h - 1));
            QVERIFY2(opaque ? visible == w * h : clears * 10 >= w * h && cornersClear,
                     opaque ? "not opaque" : "no background shows through its corners");
            QVERIFY2(near >= share * visible,
                     qPrintable(QString::asprintf("%d of %d pixels near %s at %dx", near, visible,
                                                  qPrintable(colour.name()), scale)));
            // Not cut off: the drawing sits in the middle of its picture, and at 2x in the
            // same place as at 1x, to a pixel.
            const QMargins margins(drawn.left(), drawn.top(), size.width() - 1 - drawn.right(),
                                   size.height() - 1 - drawn.bottom());
            QVERIFY2(
                std::abs(margins.left() - margins.right()) * 4 < size.width() &&
                    std::abs(margins.top() - margins.bottom()) * 4 < size.height(),
                qPrintable(QString::asprintf("drawn within %d,%d %dx%d at %dx", drawn.x(),
                                             drawn.y(), drawn.width(), drawn.height(), scale)));
            if (scale == 1)
                at1x = margins;
            const QMargins off = margins - at1x;
            QVERIFY2(std::max({std::abs(off.left()), std::abs(off.top()), std::abs(off.right()),
                               std::abs(off.bottom())}) <= 1,
                     "the 2x drawing is not where the 1x one is");
        }

        // The files under resources/ are what the generator draws now, and at a device
        // pixel ratio of 2 the program shows the @2x drawing.
        const QImage natural(":/images/" + name + ".png");
        QVERIFY2(difference(natural, picture->draw(1)).second <= 8,
                 "stale file: run make pictures");
        const QPixmap shown = vusk::picture(name, picture->size);
        QCOMPARE(shown.devicePixelRatio(), 2.0);
        QVERIFY2(difference(shown.toImage(), picture->draw(2)).second <= 8,
                 "stale @2x file: run make pictures");
    }

    void cursorTipIsTheHotSpot()
    {
        // The pointer over links acts where the tip of the raised finger is drawn: the
        // hot spot is opaque and dark, and nothing is drawn above it.
        const QCursor cursor = vusk::LinkLabel().cursor();
        const QImage image = cursor.pixmap().toImage();
        QCOMPARE(image.size(), QSize(64, 64));
        const QPoint tip = cursor.hotSpot() * 2 + QPoint(1, 1);
        QVERIFY(qAlpha(image.pixel(tip)) == 255 && distance(image.pixel(tip), Qt::black) < 150);
        for (int i = 0; i < (tip.y() - 2) * image.width(); ++i)
            QVERIFY2(qAlpha(image.pixel(i % image.width(), i / image.width())) < 16,
                     qPrintable(QString::asprintf("%d,%d", i % image.width(), i / image.width())));
    }

    void iconHoldsEverySize()
    {
        // Every program icon size, palettised and in full colour, each the whole drawing;
        // and the icon file under resources/ is what the generator writes now.
        QList<QImage> drawn;
        for (const Picture &picture : picturegen::allPictures())
            if (picture.name.startsWith("app-icon-"))
                drawn << picture.draw(1);
        QBuffer fresh;
        fresh.setData(picturegen::buildIco(drawn));
        QFile committed(VUSK_ICO_FILE);
        for (QIODevice *ico : std::initializer_list<QIODevice *>{&fresh, &committed}) {
            QImageReader reader(ico, "ico");
            QCOMPARE(reader.imageCount(), 2 * drawn.size());
            for (int i = 0; i < reader.imageCount(); ++i) {
                QVERIFY(reader.jumpToImage(i));
                const QImage stored = reader.read();
                const auto same =
                    std::find_if(drawn.begin(), drawn.end(), [&](const QImage &image) {
                        return image.size() == stored.size();
                    });
                QVERIFY2(same != drawn.end(), qPrintable(QString("image %1: no such size").arg(i)));
                // Seen on a light window: a palettised image's one-bit mask cannot keep
                // the light edge's partial transparency, which a light window hides.
                QVERIFY2(difference(onWhite(stored), onWhite(*same)).first < 12,
                         qPrintable(QString::number(i)));
            }
        }
    }
};

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
