#include "platformstartup.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTest>

// Qt's own buttons and dialogs speak Russian wherever the program runs: the
// Windows build has no system Qt to take the translations from.
class TestQtTranslations : public QObject
{
    Q_OBJECT

private slots:
    void standardButtonsInRussian();
};

void TestQtTranslations::standardButtonsInRussian()
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    vusk::installQtTranslations();
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString("Отмена"));
}

QTEST_GUILESS_MAIN(TestQtTranslations)
#include "tst_qttranslations.moc"
