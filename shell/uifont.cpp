#include "uifont.h"

#include <QWidget>

namespace vusk {

QFont tahomaFont()
{
    // Free faces close to Tahoma's width first, so that no caption outgrows the
    // place the window layout gives it.
    static const bool substitutesSet = [] {
        QFont::insertSubstitutions(QStringLiteral("Tahoma"),
                                   {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                                    QStringLiteral("Helvetica"), QStringLiteral("DejaVu Sans")});
        return true;
    }();
    Q_UNUSED(substitutesSet);

    QFont font(QStringLiteral("Tahoma"));
    // 8.25 pt at 96 dpi is 11 px. Sizing in pixels keeps the text in step with the
    // pixel geometry of the windows whatever dpi the screen reports.
    font.setPixelSize(11);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

void applyTahomaFont(QWidget *widget)
{
    widget->setFont(tahomaFont());
}

} // namespace vusk
