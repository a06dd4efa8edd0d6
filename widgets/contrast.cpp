#include "contrast.h"

#include <QWidget>

#include <cmath>

namespace vusk {

namespace {

qreal linear(float channel)
{
    return channel <= 0.04045f ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

qreal luminance(const QColor &colour)
{
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) +
           0.0722 * linear(rgb.blueF());
}

} // namespace

qreal contrastRatio(const QColor &a, const QColor &b)
{
    const qreal la = luminance(a);
    const qreal lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

void keepTextReadableOn(QWidget *widget, QPalette::ColorRole textRole, const QColor &background)
{
    QPalette palette = widget->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        const QColor themed = palette.color(group, textRole);
        // Set either way: a theme switched later must not bring light text back.
        palette.setColor(group, textRole,
                         contrastRatio(themed, background) >= 4.5 ? themed : QColor(Qt::black));
    }
    widget->setPalette(palette);
}

} // namespace vusk
