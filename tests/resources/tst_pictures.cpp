// What the picture generator draws now, as a person would see it, and as the program shows it.
#include "icowriter.h"
#include "linklabel.h"
#include "picture.h"
#include "pictures.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QTest>

#include <numeric>

namespace {

// What a person would notice: the size, the background showing through, the main colour
// (a share of visible pixels close to it), a light edge keeping dark outlines off the clear.
struct Look
{
    QSize size;
    QColor colour;
    int closeTo; // largest sum of the three channels' differences from the colour
    double share;
    bool opaque = false, lightEdge = false;
};

// What one drawing shows; clear pixels let the background through.
struct Pixels
{
    int clear = 0, nearColour = 0, darkOnClear = 0;
    QRect drawn; // the opaque ones, in 1x pixels
};

Pixels pixelsOf(const QImage &image, int scale, const Look &look)
{
    const auto clear = [&](int x, int y) {
        return image.rect().contains(x, y) && qAlpha(image.pixel(x, y)) == 0;
    };
    Pixels seen;
    for (int i = 0; i < image.width() * image.height(); ++i) {
        const int x = i % image.width(), y = i / image.width();
        const QRgb pixel = image.pixel(x, y);
        seen.darkOnClear +=
            qAlpha(pixel) >= 128 && qGray(pixel) < 90 &&
            (clear(x - 1, y) || clear(x + 1, y) || clear(x, y - 1) || clear(x, y + 1));
        seen.clear += qAlpha(pixel) < 255;
        const int away = std::abs(qRed(pixel) - look.colour.red()) +
                         std::abs(qGreen(pixel) - look.colour.green()) +
                         std::abs(qBlue(pixel) - look.colour.blue());
        seen.nearColour += qAlpha(pixel) == 255 && away <= look.closeTo;
        seen.drawn |= qAlpha(pixel) == 255 ? QRect(x / scale, y / scale, 1, 1) : QRect();
    }
    return seen;
}

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

public:
    // A device pixel ratio of 2 on any screen, where the program shows the @2x files.
    static void initMain()
    {
        qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
        qunsetenv("QT_SCREEN_SCALE_FACTORS");
        qputenv("QT_SCALE_FACTOR", "2");
    }

private slots:
    void initTestCase() { QCOMPARE(qGuiApp->devicePixelRatio(), 2.0); }

    void drawings_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<Look>("look");
        QTest::addColumn<int>("scale");
        const QStringList opaque{"header", "portrait"};
        const QStringList lightEdged{"app-icon-16", "app-icon-32", "antenna",
                                     "add",         "remove",      "save"};
        const auto row = [&](const char *name, Look look) {
            look.opaque = opaque.contains(name);
            look.lightEdge = lightEdged.contains(name);
            for (const int scale : {1, 2})
                QTest::addRow("%s at %dx", name, scale) << QString(name) << look << scale;
        };
        const QColor etchedGrey(167, 166, 170), green(34, 160, 60);
        row("app-icon-16", {.size = {16, 16}, .colour = green, .closeTo = 90, .share = 0.1});
        row("app-icon-32", {.size = {32, 32}, .colour = green, .closeTo = 90, .share = 0.1});
        row("app-icon-48", {.size = {48, 48}, .colour = green, .closeTo = 90, .share = 0.1});
        row("antenna", {.size = {48, 48}, .colour = green, .closeTo = 90, .share = 0.1});
        row("textfield", {.size = {32, 32}, .colour = Qt::white, .closeTo = 30, .share = 0.25});
        row("add", {.size = {16, 16}, .colour = {60, 170, 60}, .closeTo = 110, .share = 0.4});
        row("remove", {.size = {16, 16}, .colour = {210, 40, 30}, .closeTo = 110, .share = 0.3});
        row("save", {.size = {16, 16}, .colour = {50, 80, 170}, .closeTo = 110, .share = 0.25});
        row("divider", {.size = {16, 16}, .colour = etchedGrey, .closeTo = 4, .share = 0.5});
        row("divider-grey", {.size = {16, 16}, .colour = etchedGrey, .closeTo = 4, .share = 1.0});
        row("rule", {.size = {16, 16}, .colour = etchedGrey, .closeTo = 4, .share = 0.5});
        row("header", {.size = {16, 16}, .colour = {228, 228, 228}, .closeTo = 40, .share = 0.3});
        row("bullet", {.size = {4, 7}, .colour = {150, 173, 207}, .closeTo = 4, .share = 1.0});
        // A photograph: any colour.
        row("portrait", {.size = {48, 48}, .colour = Qt::gray, .closeTo = 1000, .share = 1.0});
        row("cursor-hand", {.size = {32, 32}, .colour = Qt::white, .closeTo = 6, .share = 0.5});
    }

    void drawings()
    {
        QFETCH(QString, name);
        QFETCH(Look, look);
        QFETCH(int, scale);
        static const std::vector<picturegen::Picture> drawn = picturegen::allPictures();
        const auto picture =
            std::find_if(drawn.begin(), drawn.end(), [&](auto &p) { return p.name == name; });
        QVERIFY2(picture != drawn.end(), "the generator draws no picture of this name");
        const QImage image = picture->draw(scale).convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(image.size(), look.size * scale);
        const Pixels seen = pixelsOf(image, scale, look);
        QVERIFY2(!look.lightEdge || seen.darkOnClear == 0,
                 qPrintable(QString::asprintf("%d dark pixels touch the clear", seen.darkOnClear)));
        const int all = image.width() * image.height(), w = image.width() - 1,
                  h = image.height() - 1;
        // Opaque, or at least a tenth clear, the corners on the right among them.
        const int rightCorners = !qAlpha(image.pixel(w, 0)) + !qAlpha(image.pixel(w, h));
        QVERIFY2(look.opaque ? seen.clear == 0 : seen.clear * 10 >= all && rightCorners == 2,
                 qPrintable(QString::asprintf("%d of %d pixels clear, %d of the right corners",
                                              seen.clear, all, rightCorners)));
        QVERIFY2(seen.nearColour >= look.share * (all - seen.clear),
                 qPrintable(QString::asprintf(
                     "%d of %d visible pixels are near %s, expected %g of them", seen.nearColour,
                     all - seen.clear, qPrintable(look.colour.name()), look.share)));
        // Not cut off: the drawing sits in the middle, and at 2x where it is at 1x, to a pixel.
        const QPointF off = QRectF(seen.drawn).center() - QRectF(QPoint(), look.size).center();
        QVERIFY2(std::abs(off.x()) * 8 < look.size.width() &&
                     std::abs(off.y()) * 8 < look.size.height(),
                 qPrintable("drawn off the middle: " + QDebug::toString(seen.drawn)));
        const QRect at1x =
            pixelsOf(picture->draw(1).convertToFormat(QImage::Format_ARGB32), 1, look).drawn;
        QVERIFY2(seen.drawn.adjusted(-1, -1, 1, 1).contains(at1x) &&
                     at1x.adjusted(-1, -1, 1, 1).contains(seen.drawn),
                 qPrintable(QDebug::toString(seen.drawn) + ", at 1x " + QDebug::toString(at1x)));
        // The committed file is this drawing; at a device pixel ratio of 2 the program shows @2x.
        const QString file = name + (scale == 2 ? "@2x.png" : ".png");
        const QImage shown =
            scale == 1 ? QImage(":/images/" + file) : vusk::picture(name, look.size).toImage();
        QCOMPARE(shown.devicePixelRatio(), scale);
        const int largest = difference(shown, image).second;
        QVERIFY2(largest <= 8, qPrintable(QString::asprintf("%s is not what the generator draws "
                                                            "now (a channel differs by %d): run "
                                                            "make pictures",
                                                            qPrintable(file), largest)));
    }

    void cursorTipIsTheHotSpot()
    {
        // Links act at the tip of the raised finger: opaque and dark, nothing drawn above it.
        const QCursor cursor = vusk::LinkLabel().cursor();
        const QImage image = cursor.pixmap().toImage();
        QCOMPARE(image.size(), QSize(64, 64));
        const QPoint tip = cursor.hotSpot() * 2 + QPoint(1, 1);
        QVERIFY2(qAlpha(image.pixel(tip)) == 255 && qGray(image.pixel(tip)) < 50,
                 qPrintable(QString::asprintf("the tip (%d, %d) is #%08x", tip.x(), tip.y(),
                                              image.pixel(tip))));
        for (int i = 0; i < (tip.y() - 2) * image.width(); ++i)
            QVERIFY2(qAlpha(image.pixel(i % image.width(), i / image.width())) < 16,
                     qPrintable(QString::asprintf("drawn above the tip at (%d, %d)",
                                                  i % image.width(), i / image.width())));
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
        QFile committed(VUSK_ICO_FILE);
        for (QIODevice *file : std::initializer_list<QIODevice *>{&fresh, &committed}) {
            const char *icon = file == &fresh ? "the icon built now" : VUSK_ICO_FILE;
            QImageReader reader(file, "ico");
            QVERIFY2(
                reader.imageCount() == 2 * drawn.size(),
                qPrintable(QString::asprintf("%s holds %d images", icon, reader.imageCount())));
            for (int i = 0; i < reader.imageCount(); ++i) {
                QVERIFY(reader.jumpToImage(i));
                const QImage stored = reader.read();
                const double mean = difference(stored, drawn.value(stored.width()), true).first;
                QVERIFY2(mean < 12, qPrintable(QString::asprintf(
                                        "%s: image %d, %d wide, differs by %g on average", icon, i,
                                        stored.width(), mean)));
            }
        }
    }
};

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
