#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>

class QAction;
class QWidget;

// Answers the next modal window from inside its own event loop, the way a
// person would: the test reads it and clicks its buttons.
class ModalWatcher : public QObject
{
    Q_OBJECT

public:
    using Answer = std::function<void(QWidget *modal)>;

    explicit ModalWatcher(Answer answer, int timeoutMs = 10000);

    // True once a modal window appeared and was handed to the answer.
    bool answered() const { return m_answered; }

private:
    void poll();

    Answer m_answer;
    QPointer<QWidget> m_ignored;
    QPointer<QWidget> m_answeredWidget;
    QTimer m_timer;
    int m_remainingTicks;
    bool m_answered = false;
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

// Records the next message box and presses the given button on it.
std::unique_ptr<ModalWatcher> watchMessageBox(MessageBoxSeen *seen,
                                              QMessageBox::StandardButton press = QMessageBox::Ok);

// Types the text key by key; unlike QTest::keyClicks it also types letters
// outside Latin-1, such as Cyrillic.
void typeText(QWidget *widget, const QString &text);

// Triggers the window's action with this object name, as its menu item would.
void triggerAction(QWidget *window, const QString &objectName);
