#pragma once

#include <QObject>
#include <QString>

class QLineEdit;

namespace vusk {

// Turns the given characters into blanks in whatever the user types, pastes or
// drops into a box, so that an entry never holds a line end (or, in the channel,
// a tab) that its file line could not carry. Text the program sets is left as
// it is, and only the part the user has just put in is looked at.
//
// A pasted or dropped text longer than the room the box's maximum length leaves is
// cut to that room before the box sees it: the box itself copies the rest of such a
// text once for every character that fits, which for a long paste takes minutes.
class TypedTextGuard : public QObject
{
    Q_OBJECT

public:
    TypedTextGuard(QLineEdit *box, QString forbidden);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void textEdited(const QString &text);
    // Puts in as much of text as fits, replacing the selection; false when all of
    // it fits, and the box is left to do it its own way.
    bool insertFitting(const QString &text);

    QLineEdit *m_box;
    QString m_forbidden;
    QString m_before; // the box's text before the latest change
};

} // namespace vusk
