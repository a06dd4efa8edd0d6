#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <functional>

// Answers the modal windows that open next, nested ones too, in order, as a person would.
// Windows beyond the script are closed and listed in unexpected(); one still open at the
// timeout is closed, so a test fails instead of hanging. One watcher at a time.
struct ModalAnswer
{
    template <typename F>
    ModalAnswer(F act, const QMetaObject *kind = nullptr) : act(std::move(act)), kind(kind)
    {}
    void operator()(QWidget *modal) const { act(modal); }

    std::function<void(QWidget *modal)> act;
    // A dialog that asked a question becomes active again while it closes; it gets
    // the next answer only if that answer is for its kind (any window when null).
    const QMetaObject *kind;
};

class ModalWatcher : public QObject
{
    Q_OBJECT

public:
    using Answer = ModalAnswer;

    explicit ModalWatcher(Answer answer, int timeoutMs = 60000);
    explicit ModalWatcher(QList<Answer> answers, int timeoutMs = 60000);

    bool answered() const { return m_next == m_answers.size(); }
    qsizetype answeredCount() const { return m_next; }
    QStringList unexpected() const { return m_unexpected; } // their titles and texts

private:
    void poll();

    QList<Answer> m_answers;
    qsizetype m_next = 0;
    QPointer<QWidget> m_ignored, m_lastAnswered;
    QList<QPointer<QWidget>> m_answeredWindows;
    QStringList m_unexpected;
    QTimer m_timer;
    int m_remainingTicks;
};

struct MessageBoxSeen
{
    bool seen = false;
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

// Types key by key; unlike QTest::keyClicks also letters outside Latin-1.
void typeText(QWidget *widget, const QString &text);
// Triggers the window's action of this object name, as its menu item would.
void triggerAction(QWidget *window, const QString &objectName);
