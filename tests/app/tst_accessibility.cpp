#include "celllistmodel.h"
#include "dialoganswers.h"
#include "frmabout.h"
#include "frmmain.h"
#include "picturebutton.h"

#include <QAccessible>
#include <QDesktopServices>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using vusk::frmAbout;
using vusk::frmMain;

namespace {

// Every interface below the window by the object name of its widget, found the
// way a screen reader finds them: child by child from the window down.
void collect(QAccessibleInterface *parent, QHash<QString, QAccessibleInterface *> &found)
{
    for (int i = 0; i < parent->childCount(); ++i) {
        QAccessibleInterface *child = parent->child(i);
        if (!child)
            continue;
        if (child->object())
            found.insert(child->object()->objectName(), child);
        collect(child, found);
    }
}

} // namespace

class UrlRecorder : public QObject
{
    Q_OBJECT

public:
    QStringList opened;

public slots:
    void open(const QUrl &url) { opened.append(url.toString()); }
};

class TestAccessibility : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void controls_data();
    void controls();
    void pressActsAsClick_data();
    void pressActsAsClick();

private:
    QByteArray outcome(const QString &button, bool press);

    QTemporaryDir m_dir;
    UrlRecorder m_browser;
};

void TestAccessibility::initTestCase()
{
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &m_browser, "open");
}

void TestAccessibility::controls_data()
{
    QTest::addColumn<bool>("about");
    QTest::addColumn<QString>("object");
    QTest::addColumn<bool>("hidden");
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("pressable");

    const auto row = [](bool about, const char *object, QAccessible::Role role, const char *name,
                        bool pressable = false) {
        QTest::newRow(object) << about << QString::fromLatin1(object) << false << int(role)
                              << QString::fromUtf8(name) << pressable;
    };
    row(false, "txtCellID", QAccessible::EditableText, "Cell ID:");
    row(false, "txtHEXVal", QAccessible::EditableText, "HEX:");
    row(false, "txtOutputString", QAccessible::EditableText, "Вывод:");
    row(false, "txtChannel", QAccessible::EditableText, "Канал:");
    row(false, "txtLocation", QAccessible::EditableText, "Описание или местоположение:");
    row(false, "lstOutput", QAccessible::List, "Просмотр файла");
    row(false, "imgAddToFile", QAccessible::Button, "Добавить в файл", true);
    row(false, "imgRemoveFromFile", QAccessible::Button, "Удалить из файла", true);
    row(false, "imgSaveToFile", QAccessible::Button, "Сохранить в файл", true);
    row(true, "lblPhoneSite", QAccessible::Link, "https://phones.example.org/", true);
    row(true, "lblToolSite", QAccessible::Link, "https://flasher.example.net/", true);

    for (const char *decoration :
         {"Image1", "Image2", "Image3", "Image4", "Image5", "Image6", "Image7", "Image8"})
        QTest::addRow("main %s", decoration) << false << QString::fromLatin1(decoration) << true
                                             << int(QAccessible::Graphic) << QString() << false;
    for (const char *decoration : {"Label3", "Image1", "Image2", "Image3", "Image4", "Image5"})
        QTest::addRow("about %s", decoration) << true << QString::fromLatin1(decoration) << true
                                              << int(QAccessible::Graphic) << QString() << false;
}

void TestAccessibility::controls()
{
    QFETCH(bool, about);
    QFETCH(QString, object);
    QFETCH(bool, hidden);
    QFETCH(int, role);
    QFETCH(QString, name);
    QFETCH(bool, pressable);

    frmMain main;
    frmAbout aboutWindow(&main);
    QWidget *window = about ? static_cast<QWidget *>(&aboutWindow) : &main;
    window->show();
    QHash<QString, QAccessibleInterface *> found;
    collect(QAccessible::queryAccessibleInterface(window), found);
    QAccessibleInterface *control = found.value(object);
    QVERIFY(control);

    QCOMPARE(control->state().invisible, hidden);
    QCOMPARE(int(control->role()), role);
    QCOMPARE(control->text(QAccessible::Name), name);
    QAccessibleActionInterface *actions = control->actionInterface();
    QCOMPARE(actions && actions->actionNames().contains(QAccessibleActionInterface::pressAction()),
             pressable);

    if (role == QAccessible::Link) {
        m_browser.opened.clear();
        actions->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(m_browser.opened, QStringList{name});
    }
}

void TestAccessibility::pressActsAsClick_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("add") << "imgAddToFile";
    QTest::newRow("remove") << "imgRemoveFromFile";
    QTest::newRow("save") << "imgSaveToFile";
}

void TestAccessibility::pressActsAsClick()
{
    QFETCH(QString, button);
    const QByteArray clicked = outcome(button, false);
    const QByteArray pressed = outcome(button, true);
    QVERIFY(!clicked.isEmpty());
    QCOMPARE(pressed, clicked);
}

// The list and the saved file after one entry was typed (and added, unless the
// button is the one that adds) and the button then clicked or pressed.
QByteArray TestAccessibility::outcome(const QString &button, bool press)
{
    frmMain window;
    window.show();
    typeText(window.findChild<QLineEdit *>("txtCellID"), "12345");
    if (button != "imgAddToFile")
        triggerAction(&window, "mnuEditAdd");
    const QString file = m_dir.filePath(press ? "pressed.txt" : "clicked.txt");
    std::unique_ptr<ModalWatcher> saving;
    if (button == "imgSaveToFile")
        saving = std::make_unique<ModalWatcher>(typeFileName(file));

    auto *picture = window.findChild<vusk::PictureButton *>(button);
    if (press)
        QAccessible::queryAccessibleInterface(picture)->actionInterface()->doAction(
            QAccessibleActionInterface::pressAction());
    else
        QTest::mouseClick(picture, Qt::LeftButton);

    QFile saved(file);
    const QByteArray bytes = saved.open(QIODevice::ReadOnly) ? saved.readAll() : QByteArray();
    return window.cellList().entries().join('\n').toUtf8() + '|' + bytes;
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
