#include "canvas.h"
#include "pictures.h"

#include <QColor>
#include <QPainter>

#include <array>

namespace picturegen {

namespace {

// Grey of the column dividers and rules; the white beside it makes the etched look.
const QColor kLineGrey(167, 166, 170);
const QColor kLineWhite(255, 255, 255);

// Painting in whole logical pixels without antialiasing doubles every pixel at 2x.
void pixelRect(QPainter &painter, int x, int y, int w, int h, const QColor &colour)
{
    painter.fillRect(QRect(x, y, w, h), colour);
}

QImage verticalLines(int scale, bool withWhite)
{
    QImage canvas = makeCanvas(QSize(16, 16), scale);
    QPainter painter(&canvas);
    pixelRect(painter, 7, 0, 1, 16, kLineGrey);
    if (withWhite)
        pixelRect(painter, 8, 0, 1, 16, kLineWhite);
    painter.end();
    return finished(canvas);
}

} // namespace

QImage drawDivider(int scale)
{
    return verticalLines(scale, true);
}

QImage drawDividerGrey(int scale)
{
    return verticalLines(scale, false);
}

QImage drawRule(int scale)
{
    QImage canvas = makeCanvas(QSize(16, 16), scale);
    QPainter painter(&canvas);
    pixelRect(painter, 0, 7, 16, 1, kLineGrey);
    pixelRect(painter, 0, 8, 16, 1, kLineWhite);
    painter.end();
    return finished(canvas);
}

QImage drawHeader(int scale)
{
    // A bright top edge, then the band darkest just below it and fading to white
    // by a bit past the middle, like a raised column header.
    static constexpr std::array<int, 16> kRowGrey = {255, 212, 214, 218, 222, 226, 231, 236,
                                                     240, 252, 253, 255, 255, 255, 255, 255};
    QImage canvas = makeCanvas(QSize(16, 16), scale);
    QPainter painter(&canvas);
    for (int y = 0; y < 16; ++y) {
        const int g = kRowGrey[static_cast<std::size_t>(y)];
        pixelRect(painter, 0, y, 16, 1, QColor(g, g, g));
    }
    painter.end();
    // Saved without an alpha channel: the band is opaque by design.
    return finished(canvas).convertToFormat(QImage::Format_RGB32);
}

QImage drawBullet(int scale)
{
    // Row widths of a right-pointing triangle, tip in the middle row.
    static constexpr std::array<int, 7> kRowWidth = {1, 2, 3, 4, 3, 2, 1};
    const QColor steelBlue(150, 173, 207);
    QImage canvas = makeCanvas(QSize(4, 7), scale);
    QPainter painter(&canvas);
    for (int y = 0; y < 7; ++y)
        pixelRect(painter, 0, y, kRowWidth[static_cast<std::size_t>(y)], 1, steelBlue);
    painter.end();
    return finished(canvas);
}

} // namespace picturegen
