#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>

class QAction;
class QWidget;

// Answers the modal windows that open next, one answer each in order, from
// inside their own event loops, the way a person would: the test reads each
// window and clicks its buttons. Nested windows (a question asked by a dialog)
// are answered too. Windows beyond the script are closed at once and listed
// in unexpected(); a window still open at the timeout is closed, so a test
// fails instead of hanging.
//
// Give each watcher a scope of its own: two alive at once would both claim
// the same windows.
//
// An answer may name the kind of window it is for. A window answered before
// (a dialog that asked a question) becomes active again while it closes; it
// gets the next answer only if that answer is for its kind.
struct ModalAnswer
{
    template <typename F>
    ModalAnswer(F act, const QMetaObject *kind = nullptr) : act(std::move(act)), kind(kind)
    {}

    void operator()(QWidget *modal) const { act(modal); }

    std::function<void(QWidget *modal)> act;
    const QMetaObject *kind; // any window when null
};

class ModalWatcher : public QObject
{
    Q_OBJECT

public:
    using Answer = ModalAnswer;

    explicit ModalWatcher(Answer answer, int timeoutMs = 60000);
    explicit ModalWatcher(QList<Answer> answers, int timeoutMs = 60000);

    // True once every answer was handed its window.
    bool answered() const { return m_next == m_answers.size(); }
    qsizetype answeredCount() const { return m_next; }
    // Titles and texts of the windows that opened after the script ran out.
    QStringList unexpected() const { return m_unexpected; }

private:
    void poll();

    QList<Answer> m_answers;
    qsizetype m_next = 0;
    QPointer<QWidget> m_ignored;
    QPointer<QWidget> m_lastAnswered;
    QList<QPointer<QWidget>> m_answeredWindows;
    QStringList m_unexpected;
    QTimer m_timer;
    int m_remainingTicks;
};

// What a message box showed.
struct MessageBoxSeen
{
    bool seen = false;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

// Types the text key by key; unlike QTest::keyClicks it also types letters
// outside Latin-1, such as Cyrillic.
void typeText(QWidget *widget, const QString &text);

// Triggers the window's action with this object name, as its menu item would.
void triggerAction(QWidget *window, const QString &objectName);
