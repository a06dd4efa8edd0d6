#include "modalwatcher.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QTest>
#include <QWidget>

namespace {
constexpr int tickMs = 10;
}

ModalWatcher::ModalWatcher(Answer answer, int timeoutMs)
    : m_answer(std::move(answer)), m_ignored(QApplication::activeModalWidget()),
      m_remainingTicks(timeoutMs / tickMs)
{
    m_timer.setInterval(tickMs);
    connect(&m_timer, &QTimer::timeout, this, &ModalWatcher::poll);
    m_timer.start();
}

void ModalWatcher::poll()
{
    if (--m_remainingTicks < 0) {
        m_timer.stop();
        // A window that its answer left open would hang the test: close it.
        if (m_answeredWidget && m_answeredWidget->isVisible())
            m_answeredWidget->close();
        return;
    }
    QWidget *modal = QApplication::activeModalWidget();
    if (m_answered) {
        if (!m_answeredWidget || !m_answeredWidget->isVisible())
            m_timer.stop();
        return;
    }
    if (!modal || modal == m_ignored || !modal->isVisible())
        return;
    m_answered = true;
    m_answeredWidget = modal;
    m_answer(modal);
}

std::unique_ptr<ModalWatcher> watchMessageBox(MessageBoxSeen *seen,
                                              QMessageBox::StandardButton press)
{
    return std::make_unique<ModalWatcher>([seen, press](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (!box) {
            modal->close();
            return;
        }
        seen->seen = true;
        seen->title = box->windowTitle();
        seen->text = box->text();
        seen->icon = box->icon();
        seen->buttons = box->standardButtons();
        if (QAbstractButton *button = box->button(press))
            QTest::mouseClick(button, Qt::LeftButton);
        else
            box->close();
    });
}

void triggerAction(QWidget *window, const QString &objectName)
{
    auto *action = window->findChild<QAction *>(objectName);
    QVERIFY2(action, qPrintable(objectName));
    QVERIFY2(action->isEnabled(), qPrintable(objectName));
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
