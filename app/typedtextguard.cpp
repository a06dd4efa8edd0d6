#include "typedtextguard.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>

namespace vusk {

TypedTextGuard::TypedTextGuard(QLineEdit *box, QString forbidden)
    : QObject(box), m_box(box), m_forbidden(std::move(forbidden)), m_before(box->text())
{
    // textChanged comes after textEdited, so m_before still holds the old text there.
    // It is read from the box: a change made inside textEdited reports the text from
    // before that change.
    connect(box, &QLineEdit::textEdited, this, &TypedTextGuard::textEdited);
    connect(box, &QLineEdit::textChanged, this, [this] { m_before = m_box->text(); });
    box->installEventFilter(this);
}

bool TypedTextGuard::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_box || m_box->isReadOnly())
        return false;
    QClipboard *clipboard = QGuiApplication::clipboard();
    switch (event->type()) {
    case QEvent::KeyPress:
        return static_cast<QKeyEvent *>(event)->matches(QKeySequence::Paste) &&
               insertFitting(clipboard->text());
    case QEvent::MouseButtonRelease: // X11 pastes the selection with the middle button
        if (static_cast<QMouseEvent *>(event)->button() == Qt::MiddleButton &&
            clipboard->supportsSelection()) {
            m_box->deselect();
            return insertFitting(clipboard->text(QClipboard::Selection));
        }
        return false;
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        const QString text = drop->mimeData()->text();
        if (text.size() <= m_box->maxLength() - m_box->text().size())
            return false;
        // The box stops showing where the drop would go, as after any drop.
        QDragLeaveEvent leave;
        QCoreApplication::sendEvent(m_box, &leave);
        // Text dragged within the box would be put in before it is taken out.
        if (drop->source() != m_box) {
            m_box->deselect();
            m_box->setCursorPosition(m_box->cursorPositionAt(drop->position().toPoint()));
            insertFitting(text);
            drop->acceptProposedAction();
        }
        return true;
    }
    case QEvent::ContextMenu: {
        QMenu *menu = m_box->createStandardContextMenu();
        menu->setAttribute(Qt::WA_DeleteOnClose);
        // The menu's own paste is the action that calls the box's paste().
        for (QAction *action : menu->actions())
            if (disconnect(action, &QAction::triggered, m_box, &QLineEdit::paste) ||
                disconnect(action, SIGNAL(triggered()), m_box, SLOT(paste())))
                connect(action, &QAction::triggered, m_box, [this, clipboard] {
                    if (!insertFitting(clipboard->text()))
                        m_box->paste();
                });
        menu->popup(static_cast<QContextMenuEvent *>(event)->globalPos());
        return true;
    }
    default:
        return false;
    }
}

bool TypedTextGuard::insertFitting(const QString &text)
{
    const qsizetype room =
        m_box->maxLength() - (m_box->text().size() - m_box->selectedText().size());
    if (text.size() <= room)
        return false;
    m_box->insert(text.first(qMax(room, 0)));
    return true;
}

void TypedTextGuard::textEdited(const QString &text)
{
    // What the edit put in lies between the part it kept in front and the part it
    // kept behind.
    const qsizetype limit = qMin(text.size(), m_before.size());
    qsizetype front = 0;
    while (front < limit && text.at(front) == m_before.at(front))
        ++front;
    qsizetype back = 0;
    while (back < limit - front &&
           text.at(text.size() - 1 - back) == m_before.at(m_before.size() - 1 - back))
        ++back;

    QString inserted = text.sliced(front, text.size() - front - back);
    bool changed = false;
    for (QChar &ch : inserted) {
        if (m_forbidden.contains(ch)) {
            ch = u' ';
            changed = true;
        }
    }
    if (!changed)
        return;
    // Replaced through the box's own editing, so undo still takes the paste back.
    const int cursor = m_box->cursorPosition();
    m_box->setSelection(int(front), int(inserted.size()));
    m_box->insert(inserted);
    m_box->setCursorPosition(cursor);
}

} // namespace vusk
