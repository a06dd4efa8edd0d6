#pragma once

#include <QColor>
#include <QPalette>

class QWidget;

namespace vusk {

// How far two colours stand apart for the eye, from 1 (alike) to 21 (black on
// white), by their relative luminance.
qreal contrastRatio(const QColor &a, const QColor &b);

// Text that the program draws on a background it fixes itself keeps the theme's
// colour only where that stands out from the background by 4.5:1; elsewhere it
// turns black, so a dark theme's light text never lands on a light panel.
void keepTextReadableOn(QWidget *widget, QPalette::ColorRole textRole, const QColor &background);

} // namespace vusk
