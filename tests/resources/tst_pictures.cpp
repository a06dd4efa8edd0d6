// What the picture generator draws now, as a person would see it, and as the program shows it.
#include "icowriter.h"
#include "linklabel.h"
#include "picture.h"
#include "pictures.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QTest>

#include <numeric>

namespace {

// What a person would notice: the size, the background showing through, the main colour
// (a share of visible pixels close to it), a light edge keeping dark outlines off the clear.
struct Look
{
    const char *name;
    QSize size;
    bool opaque;
    QColor colour;
    int closeTo;
    double share;
    bool lightEdge = false;
};

// Mean and largest channel difference; premultiplied, so the hue of clear pixels does not count.
std::pair<double, int> difference(QImage a, QImage b, bool onWhite = false)
{
    if (a.size() != b.size())
        return {255, 255};
    for (QImage *image : {&a, &b}) {
        QImage flat(image->size(), QImage::Format_ARGB32_Premultiplied);
        flat.fill(onWhite ? Qt::white : Qt::transparent);
        image->setDevicePixelRatio(1);
        QPainter(&flat).drawImage(0, 0, *image);
        *image = flat;
    }
    std::vector<int> channels(a.sizeInBytes());
    std::transform(a.constBits(), a.constBits() + a.sizeInBytes(), b.constBits(), channels.begin(),
                   [](uchar x, uchar y) { return std::abs(x - y); });
    return {std::accumulate(channels.begin(), channels.end(), 0.0) / double(channels.size()),
            *std::max_element(channels.begin(), channels.end())};
}

} // namespace

class TestPictures : public QObject
{
    Q_OBJECT

private slots:
    void drawings_data()
    {
        QTest::addColumn<Look>("look");
        const QColor etchedGrey(167, 166, 170), green(34, 160, 60);
        const Look looks[] = {
            {"app-icon-16", {16, 16}, false, green, 90, 0.1, true},
            {"app-icon-32", {32, 32}, false, green, 90, 0.1, true},
            {"app-icon-48", {48, 48}, false, green, 90, 0.1},
            {"antenna", {48, 48}, false, green, 90, 0.1, true},
            {"textfield", {32, 32}, false, Qt::white, 30, 0.25},
            {"add", {16, 16}, false, QColor(60, 170, 60), 110, 0.4, true},
            {"remove", {16, 16}, false, QColor(210, 40, 30), 110, 0.3, true},
            {"save", {16, 16}, false, QColor(50, 80, 170), 110, 0.25, true},
            {"divider", {16, 16}, false, etchedGrey, 4, 0.5},
            {"divider-grey", {16, 16}, false, etchedGrey, 4, 1.0},
            {"rule", {16, 16}, false, etchedGrey, 4, 0.5},
            {"header", {16, 16}, true, QColor(228, 228, 228), 40, 0.3},
            {"bullet", {4, 7}, false, QColor(150, 173, 207), 4, 1.0},
            {"portrait", {48, 48}, true, QColor(120, 120, 120), 1000, 1.0},
            {"cursor-hand", {32, 32}, false, Qt::white, 6, 0.5},
        };
        for (const Look &look : looks)
            QTest::newRow(look.name) << look;
    }

    void drawings()
    {
        QFETCH(Look, look);
        static const std::vector<picturegen::Picture> all = picturegen::allPictures();
        const auto picture =
            std::find_if(all.begin(), all.end(), [&](auto &p) { return p.name == look.name; });
        QVERIFY(picture != all.end());
        QRect at1x;
        for (const int scale : {1, 2}) {
            const QImage image = picture->draw(scale).convertToFormat(QImage::Format_ARGB32);
            QCOMPARE(image.size(), look.size * scale);
            const auto clear = [&](int x, int y) {
                return image.rect().contains(x, y) && qAlpha(image.pixel(x, y)) == 0;
            };
            int clears = 0, near = 0, darkOnClear = 0; // clear: the background shows through
            QRect drawn;                               // in 1x pixels
            for (int i = 0; i < image.width() * image.height(); ++i) {
                const int x = i % image.width(), y = i / image.width();
                const QRgb pixel = image.pixel(x, y);
                darkOnClear +=
                    qAlpha(pixel) >= 128 && qGray(pixel) < 90 &&
                    (clear(x - 1, y) || clear(x + 1, y) || clear(x, y - 1) || clear(x, y + 1));
                clears += qAlpha(pixel) < 255;
                const int away = std::abs(qRed(pixel) - look.colour.red()) +
                                 std::abs(qGreen(pixel) - look.colour.green()) +
                                 std::abs(qBlue(pixel) - look.colour.blue());
                near += qAlpha(pixel) == 255 && away <= look.closeTo;
                drawn |= qAlpha(pixel) == 255 ? QRect(x / scale, y / scale, 1, 1) : QRect();
            }
            QVERIFY2(!look.lightEdge || darkOnClear == 0, "dark pixels on the clear");
            const int all = image.width() * image.height(), w = image.width() - 1,
                      h = image.height() - 1;
            QVERIFY(look.opaque ? clears == 0 : clears * 10 >= all && clear(w, 0) && clear(w, h));
            QCOMPARE_GE(near, look.share * (all - clears));
            // Not cut off: the drawing sits in the middle, and at 2x where it is at 1x, to a pixel.
            const QPointF off = QRectF(drawn).center() - QRectF(QPoint(), look.size).center();
            QCOMPARE_LT(std::abs(off.x()) * 8, look.size.width());
            QCOMPARE_LT(std::abs(off.y()) * 8, look.size.height());
            at1x = scale == 1 ? drawn : at1x;
            QVERIFY2(drawn.adjusted(-1, -1, 1, 1).contains(at1x) &&
                         at1x.adjusted(-1, -1, 1, 1).contains(drawn),
                     "the 2x drawing is not where the 1x one is");
            // The committed file is this drawing; at a device pixel ratio of 2 the program shows
            // @2x.
            const QImage shown = scale == 1 ? QImage(":/images/" + QString(look.name) + ".png")
                                            : vusk::picture(look.name, look.size).toImage();
            QCOMPARE(shown.devicePixelRatio(), scale);
            QVERIFY2(difference(shown, image).second <= 8, "stale file: run make pictures");
        }
    }

    void cursorTipIsTheHotSpot()
    {
        // Links act at the tip of the raised finger: opaque and dark, nothing drawn above it.
        const QCursor cursor = vusk::LinkLabel().cursor();
        const QImage image = cursor.pixmap().toImage();
        QCOMPARE(image.size(), QSize(64, 64));
        const QPoint tip = cursor.hotSpot() * 2 + QPoint(1, 1);
        QVERIFY(qAlpha(image.pixel(tip)) == 255 && qGray(image.pixel(tip)) < 50);
        for (int i = 0; i < (tip.y() - 2) * image.width(); ++i)
            QCOMPARE_LT(qAlpha(image.pixel(i % image.width(), i / image.width())), 16);
    }

    void iconHoldsEverySize()
    {
        // Every size, palettised and in full colour, each the whole drawing as seen on a light
        // window (a palettised image's one-bit mask loses the light edge), fresh and committed.
        QMap<int, QImage> drawn; // by width
        for (const picturegen::Picture &picture : picturegen::allPictures())
            if (picture.name.startsWith("app-icon-"))
                drawn[picture.size.width()] = picture.draw(1);
        QBuffer fresh;
        fresh.setData(picturegen::buildIco(drawn.values()));
        QImageReader readers[] = {QImageReader(&fresh, "ico"), QImageReader(VUSK_ICO_FILE, "ico")};
        for (QImageReader &reader : readers) {
            QCOMPARE(reader.imageCount(), 2 * drawn.size());
            for (int i = 0; i < reader.imageCount(); ++i) {
                QVERIFY(reader.jumpToImage(i));
                const QImage stored = reader.read();
                QVERIFY2(difference(stored, drawn.value(stored.width()), true).first < 12,
                         qPrintable(QString("image %1 is not a drawing of the icon").arg(i)));
            }
        }
    }
};

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
