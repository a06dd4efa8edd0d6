#include "picturebutton.h"

#include "accessibility.h"

#include <QMouseEvent>

namespace vusk {

PictureButton::PictureButton(QWidget *parent) : QLabel(parent)
{
    setFocusPolicy(Qt::NoFocus);
    installAccessibleInterfaces();
}

void PictureButton::click()
{
    emit clicked();
}

void PictureButton::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void PictureButton::mouseReleaseEvent(QMouseEvent *event)
{
    const bool released = m_pressed && event->button() == Qt::LeftButton &&
                          rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (released)
        click();
}

void PictureButton::mouseDoubleClickEvent(QMouseEvent *event)
{
    m_pressed = false;
    event->accept();
}

} // namespace vusk
