#include "linklabel.h"

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
    setForegroundRole(QPalette::Highlight);
    setCursor(handCursor());
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
}

void LinkLabel::changeEvent(QEvent *event)
{
    // Whoever gives the label a face, a link stays underlined.
    if (event->type() == QEvent::FontChange && !font().underline()) {
        QFont underlined = font();
        underlined.setUnderline(true);
        setFont(underlined);
    }
    PictureButton::changeEvent(event);
}

} // namespace vusk
