#include <QFile>
#include <QImage>
#include <QTest>

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

namespace {

QImage picture(const QString &name, int scale = 1)
{
    const QString suffix = scale == 1 ? QString() : QStringLiteral("@%1x").arg(scale);
    return QImage(QStringLiteral(":/images/%1%2.png").arg(name, suffix))
        .convertToFormat(QImage::Format_ARGB32);
}

const QRgb kGrey = qRgba(167, 166, 170, 255);
const QRgb kWhite = qRgba(255, 255, 255, 255);
const QRgb kSteelBlue = qRgba(150, 173, 207, 255);

quint32 le16(const QByteArray &data, qsizetype at)
{
    return quint32(quint8(data[at])) | quint32(quint8(data[at + 1])) << 8;
}

quint32 le32(const QByteArray &data, qsizetype at)
{
    return le16(data, at) | le16(data, at + 2) << 16;
}

int stride(int width, int bits)
{
    return (width * bits + 31) / 32 * 4;
}

struct IcoImage
{
    int size = 0;
    int bits = 0;
    QByteArray data; // the DIB: header, palette, colour rows, mask rows
};

// Reads the icon directory; fails the calling test on any structural fault.
std::vector<IcoImage> readIco(const QByteArray &file)
{
    std::vector<IcoImage> images;
    if (file.size() < 6 || le16(file, 0) != 0 || le16(file, 2) != 1)
        return images;
    const quint32 count = le16(file, 4);
    if (qsizetype(6 + 16 * count) > file.size())
        return images;
    for (quint32 i = 0; i < count; ++i) {
        const qsizetype entry = 6 + 16 * qsizetype(i);
        const int width = quint8(file[entry]) ? quint8(file[entry]) : 256;
        const int height = quint8(file[entry + 1]) ? quint8(file[entry + 1]) : 256;
        const quint32 bytes = le32(file, entry + 8);
        const quint32 offset = le32(file, entry + 12);
        if (width != height || le16(file, entry + 4) != 1 || qsizetype(offset) < entry + 16 ||
            qsizetype(offset) + qsizetype(bytes) > file.size())
            return {};
        images.push_back({width, int(le16(file, entry + 6)), file.mid(offset, bytes)});
    }
    return images;
}

bool maskBit(const QByteArray &dib, qsizetype maskStart, int size, int x, int y)
{
    const qsizetype row = maskStart + qsizetype(size - 1 - y) * stride(size, 1);
    return (quint8(dib[row + x / 8]) >> (7 - x % 8)) & 1;
}

} // namespace

class TestPictures : public QObject
{
    Q_OBJECT

private slots:
    void sizes_data();
    void sizes();
    void lines_data();
    void lines();
    void pixelArtDoubles_data();
    void pixelArtDoubles();
    void header();
    void bullet();
    void antennaIsTheIconDrawing();
    void cursorFingertip();
    void icoDirectory();
    void icoImages();
};

void TestPictures::sizes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("opaque");

    QTest::newRow("app-icon-16") << QStringLiteral("app-icon-16") << QSize(16, 16) << false;
    QTest::newRow("app-icon-32") << QStringLiteral("app-icon-32") << QSize(32, 32) << false;
    QTest::newRow("app-icon-48") << QStringLiteral("app-icon-48") << QSize(48, 48) << false;
    QTest::newRow("antenna") << QStringLiteral("antenna") << QSize(48, 48) << false;
    QTest::newRow("textfield") << QStringLiteral("textfield") << QSize(32, 32) << false;
    QTest::newRow("add") << QStringLiteral("add") << QSize(16, 16) << false;
    QTest::newRow("remove") << QStringLiteral("remove") << QSize(16, 16) << false;
    QTest::newRow("save") << QStringLiteral("save") << QSize(16, 16) << false;
    QTest::newRow("divider") << QStringLiteral("divider") << QSize(16, 16) << false;
    QTest::newRow("divider-grey") << QStringLiteral("divider-grey") << QSize(16, 16) << false;
    QTest::newRow("rule") << QStringLiteral("rule") << QSize(16, 16) << false;
    QTest::newRow("header") << QStringLiteral("header") << QSize(16, 16) << true;
    QTest::newRow("bullet") << QStringLiteral("bullet") << QSize(4, 7) << false;
    QTest::newRow("portrait") << QStringLiteral("portrait") << QSize(48, 48) << true;
    QTest::newRow("cursor-hand") << QStringLiteral("cursor-hand") << QSize(32, 32) << false;
}

void TestPictures::sizes()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    QFETCH(bool, opaque);

    for (int scale : {1, 2}) {
        const QImage image = picture(name, scale);
        QVERIFY2(!image.isNull(), qPrintable(name));
        QCOMPARE(image.size(), size * scale);

        int opaquePixels = 0;
        int clearPixels = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const int alpha = qAlpha(image.pixel(x, y));
                opaquePixels += alpha == 255;
                clearPixels += alpha == 0;
            }
        }
        QVERIFY2(opaquePixels > 0, "nothing drawn");
        if (opaque) {
            QCOMPARE(clearPixels, 0);
            QCOMPARE(opaquePixels, image.width() * image.height());
        } else {
            // The others sit on transparent surroundings; the bullet fills its
            // left edge and so has clear pixels only beside its slanted sides.
            QVERIFY(clearPixels > 0);
            if (name != QStringLiteral("bullet")) {
                const int right = image.width() - 1;
                const int bottom = image.height() - 1;
                for (const QPoint corner :
                     {QPoint(0, 0), QPoint(right, 0), QPoint(0, bottom), QPoint(right, bottom)})
                    QCOMPARE(qAlpha(image.pixel(corner)), 0);
            }
        }
    }
}

void TestPictures::lines_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<bool>("withWhite");

    QTest::newRow("divider") << QStringLiteral("divider") << false << true;
    QTest::newRow("divider-grey") << QStringLiteral("divider-grey") << false << false;
    QTest::newRow("rule") << QStringLiteral("rule") << true << true;
}

void TestPictures::lines()
{
    QFETCH(QString, name);
    QFETCH(bool, horizontal);
    QFETCH(bool, withWhite);

    for (int scale : {1, 2}) {
        const QImage image = picture(name, scale);
        QCOMPARE(image.size(), QSize(16, 16) * scale);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                // Grey in the eighth pixel column (or row), white in the ninth.
                const int across = (horizontal ? y : x) / scale;
                QRgb expected = 0;
                if (across == 7)
                    expected = kGrey;
                else if (across == 8 && withWhite)
                    expected = kWhite;
                const QRgb actual = image.pixel(x, y);
                if (qAlpha(expected) == 0)
                    QVERIFY2(
                        qAlpha(actual) == 0,
                        qPrintable(
                            QStringLiteral("%1 at %2,%3 x%4").arg(name).arg(x).arg(y).arg(scale)));
                else
                    QCOMPARE(actual, expected);
            }
        }
    }
}

void TestPictures::pixelArtDoubles_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"divider", "divider-grey", "rule", "header", "bullet"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestPictures::pixelArtDoubles()
{
    // Stretched and natural-size drawing stay crisp only if 2x repeats each pixel.
    QFETCH(QString, name);
    const QImage one = picture(name, 1);
    const QImage two = picture(name, 2);
    QCOMPARE(two.size(), one.size() * 2);
    for (int y = 0; y < two.height(); ++y) {
        for (int x = 0; x < two.width(); ++x)
            QCOMPARE(two.pixel(x, y), one.pixel(x / 2, y / 2));
    }
}

void TestPictures::header()
{
    const QImage image = picture(QStringLiteral("header"));
    QCOMPARE(image.size(), QSize(16, 16));
    std::vector<int> rows;
    for (int y = 0; y < 16; ++y) {
        const QRgb first = image.pixel(0, y);
        QCOMPARE(qAlpha(first), 255);
        QCOMPARE(qRed(first), qGreen(first));
        QCOMPARE(qGreen(first), qBlue(first));
        for (int x = 1; x < 16; ++x)
            QCOMPARE(image.pixel(x, y), first);
        rows.push_back(qRed(first));
    }
    QCOMPARE(rows[0], 255);
    QCOMPARE(rows[1], 212);
    for (int y = 1; y < 11; ++y)
        QVERIFY2(rows[std::size_t(y)] < 255, qPrintable(QString::number(y)));
    for (int y = 11; y < 16; ++y)
        QCOMPARE(rows[std::size_t(y)], 255);
    for (int y = 2; y < 16; ++y)
        QVERIFY(rows[std::size_t(y)] >= rows[std::size_t(y - 1)]);
    // The grey levels the band passes through, in this order.
    const std::vector<int> stops = {212, 214, 222, 231, 240, 252, 253};
    auto found = rows.begin() + 1;
    for (int stop : stops) {
        found = std::find(found, rows.end(), stop);
        QVERIFY2(found != rows.end(), qPrintable(QString::number(stop)));
    }
}

void TestPictures::bullet()
{
    const QImage image = picture(QStringLiteral("bullet"));
    QCOMPARE(image.size(), QSize(4, 7));
    std::vector<int> widths;
    for (int y = 0; y < 7; ++y) {
        int width = 0;
        while (width < 4 && qAlpha(image.pixel(width, y)) != 0) {
            QCOMPARE(image.pixel(width, y), kSteelBlue);
            ++width;
        }
        for (int x = width; x < 4; ++x)
            QCOMPARE(qAlpha(image.pixel(x, y)), 0);
        widths.push_back(width);
    }
    // Flat on the left, tip on the right in the middle row.
    QCOMPARE(widths[3], 4);
    QVERIFY(widths[0] >= 1);
    for (int y = 0; y < 3; ++y) {
        QVERIFY(widths[std::size_t(y)] < widths[std::size_t(y + 1)]);
        QCOMPARE(widths[std::size_t(y)], widths[std::size_t(6 - y)]);
    }
}

void TestPictures::antennaIsTheIconDrawing()
{
    QCOMPARE(picture(QStringLiteral("antenna")), picture(QStringLiteral("app-icon-48")));
    QCOMPARE(picture(QStringLiteral("antenna"), 2), picture(QStringLiteral("app-icon-48"), 2));
}

void TestPictures::cursorFingertip()
{
    // The hot spot (12, 5) is the tip of the raised finger: the topmost drawn pixel.
    const QImage image = picture(QStringLiteral("cursor-hand"));
    QCOMPARE(image.size(), QSize(32, 32));
    const QRgb tip = image.pixel(12, 5);
    QCOMPARE(qAlpha(tip), 255);
    QVERIFY(qRed(tip) < 64 && qGreen(tip) < 64 && qBlue(tip) < 64);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 32; ++x)
            QCOMPARE(qAlpha(image.pixel(x, y)), 0);
    }
    // Black outline, white finger below the tip.
    const QRgb inside = image.pixel(12, 8);
    QCOMPARE(qAlpha(inside), 255);
    QVERIFY(qRed(inside) > 200 && qGreen(inside) > 200 && qBlue(inside) > 200);

    const QImage big = picture(QStringLiteral("cursor-hand"), 2);
    QCOMPARE(qAlpha(big.pixel(2 * 12 + 1, 2 * 5 + 1)), 255);
    for (int y = 0; y < 2 * 5; ++y) {
        for (int x = 0; x < 64; ++x)
            QVERIFY(qAlpha(big.pixel(x, y)) < 16);
    }
}

void TestPictures::icoDirectory()
{
    QFile file(QStringLiteral(VUSK_ICO_FILE));
    QVERIFY2(file.open(QIODevice::ReadOnly), VUSK_ICO_FILE);
    const QByteArray data = file.readAll();
    QCOMPARE(le16(data, 0), 0u);
    QCOMPARE(le16(data, 2), 1u);
    QCOMPARE(le16(data, 4), 6u);

    const std::vector<IcoImage> images = readIco(data);
    QCOMPARE(images.size(), std::size_t(6));
    std::set<std::pair<int, int>> found;
    for (const IcoImage &image : images)
        found.insert({image.size, image.bits});
    const std::set<std::pair<int, int>> wanted = {{16, 8},  {32, 8},  {48, 8},
                                                  {16, 32}, {32, 32}, {48, 32}};
    QCOMPARE(found, wanted);

    for (const IcoImage &image : images) {
        const QByteArray &dib = image.data;
        QCOMPARE(le32(dib, 0), 40u);
        QCOMPARE(int(le32(dib, 4)), image.size);
        QCOMPARE(int(le32(dib, 8)), 2 * image.size); // colour rows and mask rows
        QCOMPARE(le16(dib, 12), 1u);
        QCOMPARE(int(le16(dib, 14)), image.bits);
        QCOMPARE(le32(dib, 16), 0u);
        const int palette = image.bits == 8 ? 256 * 4 : 0;
        QCOMPARE(dib.size(), 40 + palette + stride(image.size, image.bits) * image.size +
                                 stride(image.size, 1) * image.size);
    }
}

void TestPictures::icoImages()
{
    // Each stored image must show the matching program icon picture.
    QFile file(QStringLiteral(VUSK_ICO_FILE));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const std::vector<IcoImage> images = readIco(file.readAll());
    QCOMPARE(images.size(), std::size_t(6));

    for (const IcoImage &entry : images) {
        const int n = entry.size;
        const QImage png = picture(QStringLiteral("app-icon-%1").arg(n));
        QCOMPARE(png.size(), QSize(n, n));
        const QByteArray &dib = entry.data;
        const qsizetype pixels = 40 + (entry.bits == 8 ? 1024 : 0);
        const qsizetype mask = pixels + qsizetype(stride(n, entry.bits)) * n;
        int worst = 0;
        for (int y = 0; y < n; ++y) {
            const qsizetype row = pixels + qsizetype(n - 1 - y) * stride(n, entry.bits);
            for (int x = 0; x < n; ++x) {
                const QRgb want = png.pixel(x, y);
                const bool masked = maskBit(dib, mask, n, x, y);
                if (entry.bits == 32) {
                    const qsizetype at = row + 4 * x;
                    const QRgb got = qRgba(quint8(dib[at + 2]), quint8(dib[at + 1]),
                                           quint8(dib[at]), quint8(dib[at + 3]));
                    QCOMPARE(got, want);
                    QCOMPARE(masked, qAlpha(want) == 0);
                    continue;
                }
                QCOMPARE(masked, qAlpha(want) < 128);
                const int index = quint8(dib[row + x]);
                if (masked) {
                    // Black leaves the screen as it is under the mask.
                    QCOMPARE(le32(dib, 40 + 4 * index) & 0xffffff, 0u);
                    continue;
                }
                const qsizetype at = 40 + 4 * index;
                const int error = std::max({std::abs(quint8(dib[at + 2]) - qRed(want)),
                                            std::abs(quint8(dib[at + 1]) - qGreen(want)),
                                            std::abs(quint8(dib[at]) - qBlue(want))});
                worst = std::max(worst, error);
            }
        }
        QVERIFY2(worst <= 24, qPrintable(QStringLiteral("%1 px, %2-bit: colour off by %3")
                                             .arg(n)
                                             .arg(entry.bits)
                                             .arg(worst)));
    }
}

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
