#include "canvas.h"
#include "pictures.h"
#include "programinfo.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPolygonF>
#include <QRadialGradient>

#include <vector>

namespace picturegen {

namespace {

QPainterPath polygonPath(const QPolygonF &polygon)
{
    QPainterPath path;
    path.addPolygon(polygon);
    path.closeSubpath();
    return path;
}

// Fills the shape and then its border as an area, not as a pen stroke: thin pens
// go through a separate line rasteriser that leaves corner pixels half covered.
void paintOutlined(QPainter &painter, const QPainterPath &shape, const QBrush &fill,
                   const QColor &border, qreal borderWidth = 1.0)
{
    QPainterPathStroker stroker;
    stroker.setWidth(borderWidth);
    stroker.setJoinStyle(Qt::MiterJoin);
    stroker.setCapStyle(Qt::SquareCap);
    painter.fillPath(shape, fill);
    painter.fillPath(stroker.createStroke(shape), border);
}

QLinearGradient verticalGradient(qreal top, qreal bottom, const QColor &from, const QColor &to)
{
    QLinearGradient gradient(0, top, 0, bottom);
    gradient.setColorAt(0, from);
    gradient.setColorAt(1, to);
    return gradient;
}

// A light rim on the clear pixels beside dark ones keeps a dark outline visible
// on a dark window; on a light window it melts into the background. One logical
// pixel wide, grown step by step to the side, never across a corner, so that the
// picture's corners stay clear.
QImage withLightEdge(QImage picture, int scale)
{
    const QRgb rim = qRgba(255, 255, 255, 150);
    const int w = picture.width();
    const int h = picture.height();
    std::vector<bool> reached(std::size_t(w * h));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const QRgb pixel = picture.pixel(x, y);
            reached[std::size_t(y * w + x)] = qAlpha(pixel) >= 128 && qGray(pixel) < 90;
        }
    }
    const auto at = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < w && y < h && reached[std::size_t(y * w + x)];
    };
    for (int step = 0; step < scale; ++step) {
        std::vector<bool> grown = reached;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                if (at(x - 1, y) || at(x + 1, y) || at(x, y - 1) || at(x, y + 1))
                    grown[std::size_t(y * w + x)] = true;
            }
        }
        reached = std::move(grown);
    }
    // The rim goes under the clear and the faint edge pixels, never under the
    // drawing itself.
    const qreal rimAlpha = qAlpha(rim) / 255.0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const QRgb pixel = picture.pixel(x, y);
            if (!reached[std::size_t(y * w + x)] || qAlpha(pixel) >= 128)
                continue;
            const qreal alpha = qAlpha(pixel) / 255.0;
            const qreal under = rimAlpha * (1 - alpha);
            const auto mix = [&](int ink, int light) {
                return qRound((ink * alpha + light * under) / (alpha + under));
            };
            picture.setPixel(x, y,
                             qRgba(mix(qRed(pixel), qRed(rim)), mix(qGreen(pixel), qGreen(rim)),
                                   mix(qBlue(pixel), qBlue(rim)), qRound((alpha + under) * 255)));
        }
    }
    return picture;
}

const QColor kCrossTop(255, 120, 104);
const QColor kCrossBottom(190, 18, 16);
const QColor kCrossBorder(120, 0, 0);

// Where the parts of the antenna go at one icon size. The sizes up to 48 are laid
// out by hand: scaling the 48 px drawing down turns the lattice and waves into mush.
struct AntennaLayout
{
    qreal centreX;
    qreal ballY;
    qreal ballRadius;
    qreal legTopY;
    qreal legTopHalf;
    qreal legBottomY;
    qreal legBottomHalf;
    qreal legPen;
    qreal bracePen;
    std::vector<qreal> braceLevels;
    QRectF base;
    std::vector<qreal> waveRadii;
    qreal wavePen;
    qreal waveHalfAngle;
};

AntennaLayout antennaLayout(int size)
{
    if (size <= 16)
        return {.centreX = 8.0,
                .ballY = 4.5,
                .ballRadius = 2.25,
                .legTopY = 6.5,
                .legTopHalf = 0.5,
                .legBottomY = 14.5,
                .legBottomHalf = 3.5,
                .legPen = 1.25,
                .bracePen = 0.75,
                .braceLevels = {10.5, 14.5},
                .base = QRectF(3.5, 14.5, 9, 1.5),
                .waveRadii = {4.0, 6.6},
                .wavePen = 1.2,
                .waveHalfAngle = 32};
    if (size <= 24)
        return {.centreX = 12.0,
                .ballY = 6.5,
                .ballRadius = 2.75,
                .legTopY = 9.5,
                .legTopHalf = 0.75,
                .legBottomY = 21.5,
                .legBottomHalf = 4.5,
                .legPen = 1.25,
                .bracePen = 0.75,
                .braceLevels = {15.0, 21.5},
                .base = QRectF(6, 21.5, 12, 2),
                .waveRadii = {5.25, 8.25},
                .wavePen = 1.5,
                .waveHalfAngle = 40};
    if (size <= 32)
        return {.centreX = 16.0,
                .ballY = 9.0,
                .ballRadius = 3.5,
                .legTopY = 12.5,
                .legTopHalf = 1.0,
                .legBottomY = 29.5,
                .legBottomHalf = 6.0,
                .legPen = 1.5,
                .bracePen = 1.0,
                .braceLevels = {20.0, 29.5},
                .base = QRectF(8, 29.5, 16, 2.5),
                .waveRadii = {7.0, 11.0},
                .wavePen = 2.0,
                .waveHalfAngle = 44};
    return {.centreX = 24.0,
            .ballY = 14.0,
            .ballRadius = 5.0,
            .legTopY = 18.5,
            .legTopHalf = 1.5,
            .legBottomY = 44.5,
            .legBottomHalf = 9.0,
            .legPen = 2.0,
            .bracePen = 1.0,
            .braceLevels = {25.0, 34.5, 44.5},
            .base = QRectF(12, 44.5, 24, 3.5),
            .waveRadii = {9.0, 13.5, 18.0},
            .wavePen = 2.6,
            .waveHalfAngle = 42};
}

qreal legHalfWidthAt(const AntennaLayout &l, qreal y)
{
    const qreal t = (y - l.legTopY) / (l.legBottomY - l.legTopY);
    return l.legTopHalf + (l.legBottomHalf - l.legTopHalf) * t;
}

void paintRadioWaves(QPainter &painter, const AntennaLayout &l)
{
    const QPointF centre(l.centreX, l.ballY);
    QPen pen(QColor(34, 160, 60), l.wavePen, Qt::SolidLine, Qt::RoundCap);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    for (const qreal radius : l.waveRadii) {
        const QRectF ring(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
        for (const qreal middle : {0.0, 180.0}) {
            QPainterPath arc;
            arc.arcMoveTo(ring, middle - l.waveHalfAngle);
            arc.arcTo(ring, middle - l.waveHalfAngle, 2 * l.waveHalfAngle);
            painter.drawPath(arc);
        }
    }
}

void paintMast(QPainter &painter, const AntennaLayout &l)
{
    const qreal cx = l.centreX;
    // Lattice first so that the legs cover its ends.
    painter.setPen(QPen(QColor(120, 128, 140), l.bracePen, Qt::SolidLine, Qt::FlatCap));
    qreal previous = l.legTopY;
    for (const qreal level : l.braceLevels) {
        const qreal upper = legHalfWidthAt(l, previous);
        const qreal lower = legHalfWidthAt(l, level);
        painter.drawLine(QPointF(cx - upper, previous), QPointF(cx + lower, level));
        painter.drawLine(QPointF(cx + upper, previous), QPointF(cx - lower, level));
        painter.drawLine(QPointF(cx - lower, level), QPointF(cx + lower, level));
        previous = level;
    }
    painter.setPen(QPen(QColor(62, 70, 84), l.legPen, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(cx - l.legTopHalf, l.legTopY),
                     QPointF(cx - l.legBottomHalf, l.legBottomY));
    painter.drawLine(QPointF(cx + l.legTopHalf, l.legTopY),
                     QPointF(cx + l.legBottomHalf, l.legBottomY));
    // A short spire joins the legs to the ball.
    painter.drawLine(QPointF(cx, l.ballY), QPointF(cx, l.legTopY));

    painter.setPen(Qt::NoPen);
    painter.setBrush(
        verticalGradient(l.base.top(), l.base.bottom(), QColor(120, 126, 136), QColor(58, 62, 72)));
    painter.drawRect(l.base);
}

void paintBall(QPainter &painter, const AntennaLayout &l)
{
    const QPointF centre(l.centreX, l.ballY);
    const qreal r = l.ballRadius;
    QRadialGradient shine(centre, r, centre + QPointF(-0.4 * r, -0.4 * r));
    shine.setColorAt(0.0, QColor(255, 196, 180));
    shine.setColorAt(0.45, QColor(232, 52, 40));
    shine.setColorAt(1.0, QColor(140, 14, 10));
    painter.setBrush(shine);
    painter.setPen(QPen(QColor(110, 10, 8), r > 3 ? 0.75 : 0.5));
    painter.drawEllipse(centre, r, r);
}

// At 16 x 16 every pixel counts: arcs and lattice are placed by hand there.
QImage smallAntennaPixels()
{
    const QStringList rows = {
        QStringLiteral("..g..........g.."), //
        QStringLiteral(".G..G......G..G."), //
        QStringLiteral("Gg.G..qRRq..G.gG"), //
        QStringLiteral("G..G..RWRr..G..G"), //
        QStringLiteral("G..G..RRRr..G..G"), //
        QStringLiteral("Gg.G..qrrq..G.gG"), //
        QStringLiteral(".G..G..DD..G..G."), //
        QStringLiteral("..g....DD....g.."), //
        QStringLiteral("......DLLD......"), //
        QStringLiteral("......D..D......"), //
        QStringLiteral(".....DL..LD....."), //
        QStringLiteral(".....D.LL.D....."), //
        QStringLiteral("....D.L..L.D...."), //
        QStringLiteral("....DL....LD...."), //
        QStringLiteral("...DLLLLLLLLD..."), //
        QStringLiteral("..BBBBBBBBBBBB.."), //
    };
    const std::map<QChar, QColor> legend = {
        {u'G', QColor(34, 160, 60)},      {u'g', QColor(34, 160, 60, 110)},
        {u'R', QColor(226, 48, 38)},      {u'r', QColor(150, 16, 12)},
        {u'q', QColor(150, 16, 12, 140)}, {u'W', QColor(255, 190, 175)},
        {u'D', QColor(62, 70, 84)},       {u'L', QColor(140, 148, 160)},
        {u'B', QColor(90, 96, 106)},
    };
    QImage canvas = makeCanvas(QSize(16, 16), 1);
    paintPixelMap(canvas, rows, legend);
    return finished(canvas);
}

} // namespace

QImage drawAntenna(int size, int scale)
{
    if (size == 16 && scale == 1)
        return withLightEdge(smallAntennaPixels(), 1);
    // Larger icons draw the 48 px layout at their own resolution, never an enlarged
    // bitmap, so their edges stay sharp.
    const int laidOut = size <= 16 ? 16 : size <= 24 ? 24 : size <= 32 ? 32 : 48;
    const AntennaLayout layout = antennaLayout(laidOut);
    QImage canvas = makeCanvas(QSize(size, size), scale);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(qreal(size) / laidOut, qreal(size) / laidOut);
    paintRadioWaves(painter, layout);
    paintMast(painter, layout);
    paintBall(painter, layout);
    painter.end();
    return withLightEdge(finished(canvas), scale);
}

QImage drawTextField(int scale)
{
    QImage canvas = makeCanvas(QSize(32, 32), scale);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);

    // The box: blue frame, pale blue inside, a soft shadow under it.
    const QRectF field(2.5, 9.5, 27, 13);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 60, 40));
    painter.drawRoundedRect(field.translated(1, 1), 2.5, 2.5);
    QPainterPath frame;
    frame.addRoundedRect(field, 2.5, 2.5);
    paintOutlined(
        painter, frame,
        verticalGradient(field.top(), field.bottom(), QColor(214, 230, 252), QColor(250, 252, 255)),
        QColor(36, 92, 196));
    painter.setPen(QPen(QColor(140, 176, 232), 1.0 / scale));
    painter.drawLine(QPointF(field.left() + 2, field.top() + 1.0),
                     QPointF(field.right() - 2, field.top() + 1.0));

    // Typed text, shown as a word and a half of dark blue strokes.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(30, 70, 160));
    painter.drawRoundedRect(QRectF(6, 14, 6, 4), 1, 1);
    painter.drawRoundedRect(QRectF(13, 14, 4, 4), 1, 1);

    // The I-beam, taller than the box, with a white halo so it reads on the frame.
    QPainterPath beam;
    beam.moveTo(18.5, 5.5);
    beam.lineTo(22.5, 5.5);
    beam.moveTo(20.5, 5.5);
    beam.lineTo(20.5, 26.5);
    beam.moveTo(18.5, 26.5);
    beam.lineTo(22.5, 26.5);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255, 220), 3.0, Qt::SolidLine, Qt::SquareCap));
    painter.drawPath(beam);
    painter.setPen(QPen(Qt::black, 1.0, Qt::SolidLine, Qt::SquareCap));
    painter.drawPath(beam);
    painter.end();
    return finished(canvas);
}

QImage drawAdd(int scale)
{
    // Outline on half pixels so the one-pixel border is crisp at 1x and 2x.
    const QPolygonF plus({{5.5, 1.5},
                          {10.5, 1.5},
                          {10.5, 5.5},
                          {14.5, 5.5},
                          {14.5, 10.5},
                          {10.5, 10.5},
                          {10.5, 14.5},
                          {5.5, 14.5},
                          {5.5, 10.5},
                          {1.5, 10.5},
                          {1.5, 5.5},
                          {5.5, 5.5}});
    QImage canvas = makeCanvas(QSize(16, 16), scale);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    paintOutlined(painter, polygonPath(plus),
                  verticalGradient(1.5, 14.5, QColor(132, 226, 110), QColor(28, 140, 40)),
                  QColor(18, 96, 28));
    // Light catches the upper left edges of the arms.
    painter.setPen(QPen(QColor(255, 255, 255, 120), 1.0 / scale));
    const qreal in = 0.5 + 0.5 / scale;
    painter.drawLine(QPointF(5.5 + in, 2.5), QPointF(5.5 + in, 6.0));
    painter.drawLine(QPointF(2.5, 5.5 + in), QPointF(5.5 + in, 5.5 + in));
    painter.end();
    return withLightEdge(finished(canvas), scale);
}

// The cross at 1x: 45-degree bars are exact on the pixel grid, so they are placed
// by hand rather than left to antialiasing. 'o' border, 'F' fill.
QImage smallCrossPixels()
{
    const QStringList rows = {
        QStringLiteral("................"), //
        QStringLiteral("..oo........oo.."), //
        QStringLiteral(".oFFo......oFFo."), //
        QStringLiteral(".oFFFo....oFFFo."), //
        QStringLiteral("..oFFFo..oFFFo.."), //
        QStringLiteral("...oFFFooFFFo..."), //
        QStringLiteral("....oFFFFFFo...."), //
        QStringLiteral(".....oFFFFo....."), //
        QStringLiteral(".....oFFFFo....."), //
        QStringLiteral("....oFFFFFFo...."), //
        QStringLiteral("...oFFFooFFFo..."), //
        QStringLiteral("..oFFFo..oFFFo.."), //
        QStringLiteral(".oFFFo....oFFFo."), //
        QStringLiteral(".oFFo......oFFo."), //
        QStringLiteral("..oo........oo.."), //
        QStringLiteral("................"), //
    };
    QImage canvas = makeCanvas(QSize(16, 16), 1);
    paintPixelMap(canvas, rows, {{u'o', kCrossBorder}});
    // The fill shades from light at the top to dark at the bottom, row by row.
    for (int y = 0; y < 16; ++y) {
        const qreal t = y / 15.0;
        const QColor shade = QColor::fromRgbF(
            float(kCrossTop.redF() + (kCrossBottom.redF() - kCrossTop.redF()) * t),
            float(kCrossTop.greenF() + (kCrossBottom.greenF() - kCrossTop.greenF()) * t),
            float(kCrossTop.blueF() + (kCrossBottom.blueF() - kCrossTop.blueF()) * t));
        for (int x = 0; x < 16; ++x) {
            if (rows[y][x] == u'F')
                canvas.setPixelColor(x, y, shade);
        }
    }
    return finished(canvas);
}

QImage drawRemove(int scale)
{
    if (scale == 1)
        return withLightEdge(smallCrossPixels(), 1);
    // Two bars at right angles, joined into one outline.
    auto bar = [](qreal angle) {
        QPainterPath path;
        path.addRect(QRectF(-6.6, -2.1, 13.2, 4.2));
        QTransform turn;
        turn.translate(8, 8);
        turn.rotate(angle);
        return turn.map(path);
    };
    const QPainterPath cross = bar(45).united(bar(-45)).simplified();
    QImage canvas = makeCanvas(QSize(16, 16), scale);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    paintOutlined(painter, cross, verticalGradient(2, 14, kCrossTop, kCrossBottom), kCrossBorder);
    painter.end();
    return withLightEdge(finished(canvas), scale);
}

QImage drawSave(int scale)
{
    QImage canvas = makeCanvas(QSize(16, 16), scale);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);

    // Body with the cut corner at the top right, as on a real diskette.
    const QPolygonF body({{1.5, 1.5}, {12.5, 1.5}, {14.5, 3.5}, {14.5, 14.5}, {1.5, 14.5}});
    paintOutlined(painter, polygonPath(body),
                  verticalGradient(1.5, 14.5, QColor(74, 108, 196), QColor(30, 52, 128)),
                  QColor(16, 28, 76));

    // Metal shutter with its window.
    painter.setPen(Qt::NoPen);
    painter.setBrush(verticalGradient(2, 6, QColor(236, 238, 242), QColor(168, 174, 186)));
    painter.drawRect(QRectF(4, 2, 8, 5));
    painter.setBrush(QColor(44, 52, 70));
    painter.drawRect(QRectF(9, 3, 2, 3));

    // Paper label with two ruled lines.
    painter.setBrush(QColor(250, 250, 246));
    painter.drawRect(QRectF(3, 9, 10, 5));
    painter.setBrush(QColor(150, 170, 214));
    painter.drawRect(QRectF(4, 10, 8, 1.0));
    painter.drawRect(QRectF(4, 12, 6, 1.0));
    painter.end();
    return withLightEdge(finished(canvas), scale);
}

QImage drawPortrait(int scale)
{
    QImage canvas = makeCanvas(QSize(48, 48), scale);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);

    // Studio backdrop: the picture fills its square like a photograph.
    QRadialGradient backdrop(QPointF(24, 18), 34);
    backdrop.setColorAt(0, QColor(214, 232, 250));
    backdrop.setColorAt(1, QColor(132, 172, 216));
    painter.fillRect(QRectF(0, 0, 48, 48), backdrop);

    // Shoulders in a jumper, with a shirt collar at the neck.
    QPainterPath shoulders;
    shoulders.moveTo(4, 48);
    shoulders.cubicTo(4, 40, 9, 36.5, 17, 35);
    shoulders.lineTo(31, 35);
    shoulders.cubicTo(39, 36.5, 44, 40, 44, 48);
    shoulders.closeSubpath();
    painter.setPen(QPen(QColor(28, 58, 104), 1.0));
    painter.setBrush(verticalGradient(35, 48, QColor(70, 124, 190), QColor(40, 84, 148)));
    painter.drawPath(shoulders);

    const QColor skin(246, 206, 174);
    const QColor skinShade(222, 172, 138);
    painter.setPen(Qt::NoPen);
    painter.setBrush(skinShade);
    painter.drawRect(QRectF(20, 28, 8, 8));
    QPainterPath collar;
    collar.moveTo(18, 35);
    collar.lineTo(24, 40);
    collar.lineTo(30, 35);
    collar.lineTo(28, 34);
    collar.lineTo(24, 37);
    collar.lineTo(20, 34);
    collar.closeSubpath();
    painter.setBrush(QColor(250, 250, 250));
    painter.drawPath(collar);

    // Head with ears, then hair over the top.
    painter.setBrush(skinShade);
    painter.drawEllipse(QPointF(14.8, 20.5), 2.2, 3);
    painter.drawEllipse(QPointF(33.2, 20.5), 2.2, 3);
    painter.setBrush(skin);
    painter.setPen(QPen(QColor(190, 140, 108), 0.75));
    painter.drawEllipse(QPointF(24, 19.5), 9.2, 10.8);

    QPainterPath hair;
    hair.moveTo(14.6, 19);
    hair.cubicTo(13.5, 9, 19, 6.5, 24, 6.5);
    hair.cubicTo(30, 6.5, 35, 9.5, 33.4, 19);
    hair.cubicTo(31.5, 14, 28, 12.5, 24.5, 13.5);
    hair.cubicTo(21, 14.5, 17.5, 13.5, 14.6, 19);
    hair.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(verticalGradient(6.5, 19, QColor(120, 80, 50), QColor(78, 50, 30)));
    painter.drawPath(hair);

    // A friendly face: eyes, a hint of cheeks, a smile.
    painter.setBrush(QColor(50, 40, 36));
    painter.drawEllipse(QPointF(20.3, 20), 1.1, 1.3);
    painter.drawEllipse(QPointF(27.7, 20), 1.1, 1.3);
    painter.setBrush(QColor(240, 150, 140, 110));
    painter.drawEllipse(QPointF(18.5, 24.2), 1.8, 1.1);
    painter.drawEllipse(QPointF(29.5, 24.2), 1.8, 1.1);
    QPainterPath smile;
    smile.moveTo(20.5, 24.5);
    smile.quadTo(24, 28, 27.5, 24.5);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(150, 70, 60), 1.0, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(smile);
    painter.end();
    return finished(canvas);
}

QImage drawHandCursor(int scale)
{
    // Outline on half pixels; the fingertip's outline sits on row 5 above column 12,
    // which is the cursor's hot spot.
    QPainterPath hand;
    hand.moveTo(10.5, 17.5);
    hand.lineTo(10.5, 7.5);
    hand.arcTo(QRectF(10.5, 5.5, 4, 4), 180, -180);
    hand.lineTo(14.5, 12.5);
    hand.arcTo(QRectF(14.5, 11.5, 3, 3), 180, -180);
    hand.arcTo(QRectF(17.5, 12.5, 3, 3), 180, -180);
    hand.arcTo(QRectF(20.5, 13.5, 3, 3), 180, -180);
    hand.lineTo(23.5, 21.5);
    hand.cubicTo(23.5, 24.0, 22.5, 25.5, 21.5, 26.5);
    hand.lineTo(21.5, 28.5);
    hand.lineTo(13.5, 28.5);
    hand.lineTo(13.5, 26.5);
    hand.cubicTo(11.5, 24.5, 9.5, 22.0, 7.0, 19.5);
    hand.cubicTo(6.0, 18.5, 6.5, 16.5, 8.0, 16.5);
    hand.cubicTo(9.0, 16.5, 9.5, 17.0, 10.5, 17.5);
    hand.closeSubpath();

    QImage canvas = makeCanvas(QSize(32, 32), scale);
    QPainter painter(&canvas);
    // A cursor reads best with hard edges; at 2x there are pixels enough to smooth.
    painter.setRenderHint(QPainter::Antialiasing, scale > 1);
    painter.setBrush(Qt::white);
    painter.setPen(QPen(Qt::black, 1.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.drawPath(hand);
    // Creases between the folded fingers and the cuff line at the wrist.
    painter.drawLine(QPointF(17.5, 13.5), QPointF(17.5, 16.5));
    painter.drawLine(QPointF(20.5, 14.5), QPointF(20.5, 17.5));
    painter.drawLine(QPointF(14.5, 12.5), QPointF(14.5, 16.5));
    painter.drawLine(QPointF(13.5, 26.5), QPointF(21.5, 26.5));
    painter.end();
    return finished(canvas);
}

namespace {

// The main window's tower picture is the large icon itself.
QImage drawTower(int scale)
{
    return drawAntenna(48, scale);
}

} // namespace

std::vector<Picture> allPictures()
{
    std::vector<Picture> pictures;
    for (const int size : vusk::programIconSizes) {
        const auto draw = [size](int scale) {
            return drawAntenna(size, scale);
        };
        pictures.push_back({QStringLiteral("app-icon-%1").arg(size), QSize(size, size), draw});
    }
    const Picture others[] = {
        {QStringLiteral("antenna"), QSize(48, 48), drawTower},
        {QStringLiteral("textfield"), QSize(32, 32), drawTextField},
        {QStringLiteral("add"), QSize(16, 16), drawAdd},
        {QStringLiteral("remove"), QSize(16, 16), drawRemove},
        {QStringLiteral("save"), QSize(16, 16), drawSave},
        {QStringLiteral("divider"), QSize(16, 16), drawDivider},
        {QStringLiteral("divider-grey"), QSize(16, 16), drawDividerGrey},
        {QStringLiteral("rule"), QSize(16, 16), drawRule},
        {QStringLiteral("header"), QSize(16, 16), drawHeader},
        {QStringLiteral("bullet"), QSize(4, 7), drawBullet},
        {QStringLiteral("portrait"), QSize(48, 48), drawPortrait},
        {QStringLiteral("cursor-hand"), QSize(32, 32), drawHandCursor},
    };
    pictures.insert(pictures.end(), std::begin(others), std::end(others));
    return pictures;
}

} // namespace picturegen
