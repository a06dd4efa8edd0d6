#include "toolwindow.h"

#include <QKeyEvent>
#include <QScreen>

namespace vusk {

ToolWindow::ToolWindow(QWidget *owner)
    : QDialog(owner,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{}

void ToolWindow::keyPressEvent(QKeyEvent *event)
{
    // The button is no cancel button, so Escape must not reach QDialog's reject().
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ToolWindow::showEvent(QShowEvent *event)
{
    // QDialog guesses a frame of 10 x 40 pixels where the window system reports
    // none, which puts the window off centre; centre the client areas instead.
    QWidget *owner = parentWidget() ? parentWidget()->window() : nullptr;
    if (owner && !event->spontaneous()) {
        QRect placed(QPoint(), size());
        placed.moveCenter(owner->geometry().center());
        if (const QScreen *screen = owner->screen()) {
            const QRect available = screen->availableGeometry();
            // Kept on the screen when the owner stands near its edge.
            const QPoint last = available.bottomRight() - QPoint(width(), height()) + QPoint(1, 1);
            placed.moveTo(qBound(available.left(), placed.left(), qMax(available.left(), last.x())),
                          qBound(available.top(), placed.top(), qMax(available.top(), last.y())));
        }
        setGeometry(placed);
    }
    QDialog::showEvent(event);
    // Windows shows tool windows without activating them, which would leave the
    // owner active and nothing here with the focus. The window system knows the
    // window only after this event, hence the queued call.
    if (!event->spontaneous())
        QMetaObject::invokeMethod(this, &QWidget::activateWindow, Qt::QueuedConnection);
}

} // namespace vusk
