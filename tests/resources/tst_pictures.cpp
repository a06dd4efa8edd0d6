// Looks at what the picture generator draws now as a person would, then checks that the
// program shows exactly those drawings, at a device pixel ratio of 2 (see CMakeLists.txt).
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

// What a person would notice: the size, a background that shows through where the
// picture has one, the main colour (a share of the visible pixels close to it), and for
// dark outlines a light edge between them and the clear, to show on a dark window.
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

// The mean and the largest difference of any colour channel, in premultiplied colour
// so that the hue of invisible pixels does not count; or both as seen on a white window.
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
            const auto alpha = [&](int x, int y) {
                return image.rect().contains(x, y) ? qAlpha(image.pixel(x, y)) : 255;
            };
            int clears = 0, near = 0; // clear: the background shows through
            QRect drawn;              // in 1x pixels
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const QRgb pixel = image.pixel(x, y);
                    const bool dark = qAlpha(pixel) >= 128 && qGray(pixel) < 90;
                    QVERIFY2(!look.lightEdge || !dark ||
                                 std::min({alpha(x - 1, y), alpha(x + 1, y), alpha(x, y - 1),
                                           alpha(x, y + 1)}) > 0,
                             qPrintable(QString("dark pixel at %1,%2 on the clear").arg(x).arg(y)));
                    clears += qAlpha(pixel) < 255;
                    if (qAlpha(pixel) == 255) {
                        near += distance(pixel, look.colour) <= look.closeTo;
                        drawn |= QRect(x / scale, y / scale, 1, 1);
                    }
                }
            }
            const int all = image.width() * image.height(), right = image.width() - 1;
            if (look.opaque)
                QCOMPARE(clears, 0);
            else // and the corners are clear
                QVERIFY(clears * 10 >= all && !alpha(right, 0) &&
                        !alpha(right, image.height() - 1));
            QCOMPARE_GE(near, look.share * (all - clears));
            // Not cut off: the drawing sits in the middle, and at 2x where it is at 1x, to a pixel.
            const QPointF off = QRectF(drawn).center() - QRectF(QPoint(), look.size).center();
            QCOMPARE_LT(std::abs(off.x()) * 8, look.size.width());
            QCOMPARE_LT(std::abs(off.y()) * 8, look.size.height());
            at1x = scale == 1 ? drawn : at1x;
            QVERIFY2(drawn.adjusted(-1, -1, 1, 1).contains(at1x) &&
                         at1x.adjusted(-1, -1, 1, 1).contains(drawn),
                     "the 2x drawing is not where the 1x one is");
            // The file under resources/ is this drawing, and at a device pixel ratio of 2
            // the program shows the @2x one.
            const QImage shown = scale == 1 ? QImage(":/images/" + QString(look.name) + ".png")
                                            : vusk::picture(look.name, look.size).toImage();
            QCOMPARE(shown.devicePixelRatio(), scale);
            QVERIFY2(difference(shown, image).second <= 8, "stale file: run make pictures");
        }
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
        // Every program icon size, palettised and in full colour, each the whole drawing as
        // seen on a light window, which hides the light edge a palettised image's one-bit
        // mask cannot keep; and the icon file under resources/ is what the generator writes.
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
