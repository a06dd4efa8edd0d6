#include "typedtextguard.h"

#include <QLineEdit>

namespace vusk {

TypedTextGuard::TypedTextGuard(QLineEdit *box, QString forbidden)
    : QObject(box), m_box(box), m_forbidden(std::move(forbidden)), m_before(box->text())
{
    // textChanged comes after textEdited, so m_before still holds the old text there.
    // It is read from the box: a change made inside textEdited reports the text from
    // before that change.
    connect(box, &QLineEdit::textEdited, this, &TypedTextGuard::textEdited);
    connect(box, &QLineEdit::textChanged, this, [this] { m_before = m_box->text(); });
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
