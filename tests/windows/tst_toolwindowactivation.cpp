#include "frmabout.h"
#include "frminfo.h"

#include <QApplication>
#include <QPushButton>
#include <QStringListModel>
#include <QTest>
#include <functional>
#include <memory>

using vusk::frmAbout;
using vusk::frmInfo;

using WindowMaker = std::function<QDialog *(QWidget *owner)>;
Q_DECLARE_METATYPE(WindowMaker)

// Windows shows tool windows without activating them; the secondary windows
// must still come up active, with the close button focused, over an active owner.
class TestToolWindowActivation : public QObject
{
    Q_OBJECT

private slots:
    void opensActiveWithFocus_data();
    void opensActiveWithFocus();
};

void TestToolWindowActivation::opensActiveWithFocus_data()
{
    QTest::addColumn<WindowMaker>("make");

    static const QStringListModel list({"0x1\t1\ta"});
    QTest::newRow("Information") << WindowMaker(
        [](QWidget *owner) -> QDialog * { return new frmInfo(&list, owner); });
    QTest::newRow("About") << WindowMaker(
        [](QWidget *owner) -> QDialog * { return new frmAbout(owner); });
}

void TestToolWindowActivation::opensActiveWithFocus()
{
    QFETCH(WindowMaker, make);

    QWidget owner;
    owner.resize(400, 300);
    owner.show();
    owner.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&owner));

    const std::unique_ptr<QDialog> window(make(&owner));
    window->open();
    QTRY_VERIFY(window->isActiveWindow());
    QTRY_COMPARE(QApplication::focusWidget(), window->findChild<QPushButton *>("cmdClose"));
}

QTEST_MAIN(TestToolWindowActivation)
#include "tst_toolwindowactivation.moc"
