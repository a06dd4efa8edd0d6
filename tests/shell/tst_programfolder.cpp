#include "programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QTest>

// The dialogs start beside the program where the user may write there. On
// Windows that is read from the folder's NTFS rights, not from its attributes.
class TestProgramFolder : public QObject
{
    Q_OBJECT

private slots:
    void writableProgramFolderIsUsed();
};

void TestProgramFolder::writableProgramFolderIsUsed()
{
    QCOMPARE(vusk::cellListFolder(),
             QDir::toNativeSeparators(QCoreApplication::applicationDirPath()));
}

QTEST_GUILESS_MAIN(TestProgramFolder)
#include "tst_programfolder.moc"
