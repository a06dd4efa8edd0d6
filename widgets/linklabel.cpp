#include "linklabel.h"

#include "contrast.h"

#include <QApplication>
#include <QEvent>
#include <QIcon>

namespace vusk {

namespace {

QCursor handCursor()
{
    // The fingertip is the hot spot.
    return QCursor(QIcon(QStringLiteral(":/images/cursor-hand.png")).pixmap(32, 32), 12, 5);
}

} // namespace

LinkLabel::LinkLabel(QWidget *parent) : PictureButton(parent)
{
    setTextFormat(Qt::PlainText);
    setForegroundRole(QPalette::Link);
    setCursor(handCursor());
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    pickLinkColour();
}

void LinkLabel::pickLinkColour()
{
    // The theme's colours as the label would inherit them, not the one set here.
    const QPalette theme = parentWidget() ? parentWidget()->palette() : QApplication::palette(this);
    // Chosen from the active colours and kept in every group: some themes make
    // the inactive highlight the window colour, which would hide the link
    // whenever its window is not the active one.
    const QColor highlight = theme.color(QPalette::Active, QPalette::Highlight);
    const QColor window = theme.color(QPalette::Active, QPalette::Window);
    const QColor colour = contrastRatio(highlight, window) >= 3.0
                              ? highlight
                              : theme.color(QPalette::Active, QPalette::Link);
    QPalette own = palette();
    own.setColor(QPalette::Link, colour);
    m_pickingColour = true;
    setPalette(own);
    m_pickingColour = false;
}

void LinkLabel::changeEvent(QEvent *event)
{
    // Whoever gives the label a face, a link stays underlined.
    if (event->type() == QEvent::FontChange && !font().underline()) {
        QFont underlined = font();
        underlined.setUnderline(true);
        setFont(underlined);
    }
    if ((event->type() == QEvent::PaletteChange || event->type() == QEvent::ParentChange) &&
        !m_pickingColour)
        pickLinkColour();
    PictureButton::changeEvent(event);
}

} // namespace vusk
