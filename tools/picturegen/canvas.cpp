#include "canvas.h"

#include <QPainter>

namespace picturegen {

QImage makeCanvas(QSize logical, int scale)
{
    QImage image(logical * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    image.setDevicePixelRatio(scale);
    return image;
}

QImage finished(const QImage &canvas)
{
    QImage image = canvas.convertToFormat(QImage::Format_ARGB32);
    image.setDevicePixelRatio(1.0);
    return image;
}

void paintPixelMap(QImage &canvas, const QStringList &rows, const std::map<QChar, QColor> &legend)
{
    QPainter painter(&canvas);
    for (qsizetype y = 0; y < rows.size(); ++y) {
        for (qsizetype x = 0; x < rows[y].size(); ++x) {
            const auto colour = legend.find(rows[y][x]);
            if (colour != legend.end())
                painter.fillRect(QRect(int(x), int(y), 1, 1), colour->second);
        }
    }
}

} // namespace picturegen
