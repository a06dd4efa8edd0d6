#pragma once

#include <QObject>
#include <QString>

class QLineEdit;

namespace vusk {

// Turns the given characters into blanks in whatever the user types, pastes or
// drops into a box, so that an entry never holds a line end (or, in the channel,
// a tab) that its file line could not carry. Text the program sets is left as
// it is, and only the part the user has just put in is looked at.
class TypedTextGuard : public QObject
{
    Q_OBJECT

public:
    TypedTextGuard(QLineEdit *box, QString forbidden);

private:
    void textEdited(const QString &text);

    QLineEdit *m_box;
    QString m_forbidden;
    QString m_before; // the box's text before the latest change
};

} // namespace vusk
