#include "layoutchecks.h"

#include <QLabel>
#include <QStyle>
#include <QTest>

namespace {

// Where a label's text or picture actually shows, in its parent's coordinates.
QRect inkRect(const QLabel *label)
{
    const QPixmap pixmap = label->pixmap();
    if (pixmap.isNull()) {
        const QSize text = label->fontMetrics().boundingRect(label->text()).size();
        return QStyle::alignedRect(label->layoutDirection(), label->alignment(), text,
                                   label->contentsRect())
            .translated(label->pos());
    }
    const QImage image = pixmap.toImage();
    QRect opaque;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 0)
                opaque |= QRect(x, y, 1, 1);
    const qreal ratio = pixmap.devicePixelRatio();
    const QRect scaled(QPointF(opaque.topLeft() / ratio).toPoint(),
                       QPointF((opaque.bottomRight() + QPoint(1, 1)) / ratio).toPoint() -
                           QPoint(1, 1));
    const QRect placed =
        QStyle::alignedRect(label->layoutDirection(), label->alignment(),
                            pixmap.deviceIndependentSize().toSize(), label->contentsRect());
    return scaled.translated(placed.topLeft() + label->pos());
}

} // namespace

void verifyFitsText(const QLabel *label)
{
    const QSize needed = label->wordWrap()
                             ? QSize(label->width(), label->heightForWidth(label->width()))
                             : label->fontMetrics().boundingRect(label->text()).size();
    QVERIFY2(label->width() >= needed.width() && label->height() >= needed.height(),
             qPrintable(QString::asprintf("%s %dx%d needs %dx%d", qPrintable(label->objectName()),
                                          label->width(), label->height(), needed.width(),
                                          needed.height())));
}

void verifyCaptionsClear(const QWidget *container)
{
    const QList<QWidget *> controls =
        container->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (const QWidget *control : controls) {
        const auto *caption = qobject_cast<const QLabel *>(control);
        if (!caption || caption->text().isEmpty() || !caption->isVisible())
            continue;
        const QRect text = inkRect(caption);
        for (const QWidget *other : controls) {
            const auto *label = qobject_cast<const QLabel *>(other);
            if (other == control || !other->isVisible() ||
                (label && !label->pixmap().isNull() &&
                 other->geometry().contains(caption->geometry())))
                continue;
            const QRect taken = label ? inkRect(label) : other->geometry();
            QVERIFY2(!text.intersects(taken),
                     qPrintable(caption->objectName() + " runs into " + other->objectName()));
        }
    }
}
