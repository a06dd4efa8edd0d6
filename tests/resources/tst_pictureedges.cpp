#include <QImage>
#include <QTest>

// The dark-outlined pictures must stay visible on a dark window: no dark pixel
// of theirs may touch the clear surroundings directly, a light edge lies between.
class TestPictureEdges : public QObject
{
    Q_OBJECT

private slots:
    void darkOutlinesHaveLightEdge_data();
    void darkOutlinesHaveLightEdge();
};

void TestPictureEdges::darkOutlinesHaveLightEdge_data()
{
    QTest::addColumn<QString>("file");
    for (const char *name : {"antenna", "app-icon-16", "app-icon-32", "add", "remove", "save"})
        for (const char *suffix : {"", "@2x"})
            QTest::addRow("%s%s", name, suffix)
                << QStringLiteral(":/images/%1%2.png").arg(name, suffix);
}

void TestPictureEdges::darkOutlinesHaveLightEdge()
{
    QFETCH(QString, file);
    const QImage image = QImage(file).convertToFormat(QImage::Format_ARGB32);
    QVERIFY(!image.isNull());
    const auto clear = [&](int x, int y) {
        return image.rect().contains(x, y) && qAlpha(image.pixel(x, y)) == 0;
    };
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) < 128 || qGray(pixel) >= 90)
                continue;
            QVERIFY2(!clear(x - 1, y) && !clear(x + 1, y) && !clear(x, y - 1) && !clear(x, y + 1),
                     qPrintable(QStringLiteral("dark pixel at %1,%2 on the clear").arg(x).arg(y)));
        }
    }
}

QTEST_MAIN(TestPictureEdges)
#include "tst_pictureedges.moc"
