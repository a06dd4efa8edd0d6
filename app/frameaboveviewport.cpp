#include "frameaboveviewport.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QPainter>
#include <QStyleOptionFrame>

namespace vusk {

namespace {

// One unit around the area: room for the half of a line that lies outside it.
const QMargins overhang(1, 1, 1, 1);

} // namespace

FrameAboveViewport::FrameAboveViewport(QAbstractScrollArea *area)
    : QWidget(area->parentWidget()), m_area(area)
{
    // Only a picture: clicks, keys and screen readers go to the area beneath.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(area->geometry() + overhang);
    raise();
    area->installEventFilter(this);
}

bool FrameAboveViewport::eventFilter(QObject *watched, QEvent *event)
{
    // Only the area is watched. While it is destroyed only its QWidget part is
    // left (and it gets other events then), so only QWidget's members are used.
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
        setGeometry(static_cast<QWidget *>(watched)->geometry() + overhang);
        break;
    case QEvent::Show:
    case QEvent::Hide:
        setVisible(!static_cast<QWidget *>(watched)->isHidden());
        break;
    default:
        break;
    }
    return false;
}

void FrameAboveViewport::paintEvent(QPaintEvent *)
{
    if (!m_area)
        return;
    // The area's own option, as QFrame makes it, so that its focus and hover
    // states draw as they do beneath.
    QStyleOptionFrame option;
    option.initFrom(m_area);
    option.rect = m_area->frameRect().translated(overhang.left(), overhang.top());
    const QFrame::Shape shape = m_area->frameShape();
    option.frameShape = shape;
    const bool sized = shape == QFrame::Box || shape == QFrame::HLine || shape == QFrame::VLine ||
                       shape == QFrame::StyledPanel || shape == QFrame::Panel;
    option.lineWidth = sized ? m_area->lineWidth() : m_area->frameWidth();
    option.midLineWidth = sized ? m_area->midLineWidth() : 0;
    if (m_area->frameShadow() == QFrame::Sunken)
        option.state |= QStyle::State_Sunken;
    else if (m_area->frameShadow() == QFrame::Raised)
        option.state |= QStyle::State_Raised;
    QPainter painter(this);
    m_area->style()->drawControl(QStyle::CE_ShapedFrame, &option, &painter, m_area);
}

} // namespace vusk
