#include "modalwatcher.h"

#include <QAction>
#include <QApplication>
#include <QTest>

constexpr int tickMs = 10;

ModalWatcher::ModalWatcher(Answer answer, int timeoutMs)
    : ModalWatcher(QList<Answer>{std::move(answer)}, timeoutMs)
{}

ModalWatcher::ModalWatcher(QList<Answer> answers, int timeoutMs)
    : m_answers(std::move(answers)), m_ignored(QApplication::activeModalWidget()),
      m_remainingTicks(timeoutMs / tickMs)
{
    connect(&m_timer, &QTimer::timeout, this, &ModalWatcher::poll);
    m_timer.start(tickMs);
}

void ModalWatcher::poll()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (--m_remainingTicks < 0) {
        m_timer.stop();
        if (modal && modal != m_ignored)
            modal->close();
        return;
    }
    if (!modal || modal == m_ignored || modal == m_lastAnswered || !modal->isVisible())
        return;
    const bool fitsNext = !answered() && (!m_answers.at(m_next).kind ||
                                          modal->inherits(m_answers.at(m_next).kind->className()));
    if (!fitsNext) {
        if (!m_answeredWindows.contains(modal)) {
            m_lastAnswered = modal;
            const auto *box = qobject_cast<QMessageBox *>(modal);
            m_unexpected.append(modal->windowTitle() + ": " + (box ? box->text() : QString()));
            QTimer::singleShot(0, modal, &QWidget::close);
        }
        return;
    }
    m_lastAnswered = modal;
    m_answeredWindows.append(modal);
    // From a timer of its own, so that this one keeps polling inside the event loop
    // of any window the answer opens.
    QTimer::singleShot(0, this, [act = m_answers.at(m_next++).act, modal = QPointer(modal)] {
        if (modal)
            act(modal);
    });
}

void triggerAction(QWidget *window, const QString &objectName)
{
    auto *action = window->findChild<QAction *>(objectName);
    QVERIFY2(action && action->isEnabled(), qPrintable(objectName));
    action->trigger();
}

void typeText(QWidget *widget, const QString &text)
{
    for (const QChar ch : text) {
        if (ch.unicode() < 0x80)
            QTest::keyClick(widget, char(ch.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), {});
    }
}
