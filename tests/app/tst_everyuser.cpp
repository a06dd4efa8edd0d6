// Every user can use the windows: a screen reader finds and works each control,
// the texts stand out on light and dark themes, and the buttons hold large fonts.
#include "celllistmodel.h"
#include "dialoganswers.h"
#include "frmabout.h"
#include "frminfo.h"
#include "frmmain.h"
#include "picturebutton.h"

#include <QAccessible>
#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QStringListModel>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <cmath>
#include <map>

using namespace vusk;

namespace {

// The WCAG 2 contrast of the inkiest pixel against the commonest one, which is the
// ground the text stands on.
double textContrast(const QImage &image, const QRect &area)
{
    const auto luminance = [](QRgb pixel) {
        const auto channel = [](int value) {
            const double c = value / 255.0;
            return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(qRed(pixel)) + 0.7152 * channel(qGreen(pixel)) +
               0.0722 * channel(qBlue(pixel)) + 0.05;
    };
    std::map<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[image.pixel(x, y)];
    const double ground =
        luminance(std::max_element(counts.begin(), counts.end(), [](const auto &a, const auto &b) {
                      return a.second < b.second;
                  })->first);
    double best = 1;
    for (const auto &[pixel, count] : counts) {
        const double ink = luminance(pixel);
        best = std::max(best, std::max(ink, ground) / std::min(ink, ground));
    }
    return best;
}

// Light text on dark grey, and a highlight too dark to mark a link there, as some
// dark themes have it.
QPalette darkPalette()
{
    QPalette dark = QApplication::style()->standardPalette();
    const std::pair<QPalette::ColorRole, QColor> colours[] = {
        {QPalette::Window, QColor(53, 53, 53)},     {QPalette::WindowText, QColor(238, 238, 236)},
        {QPalette::Base, QColor(45, 45, 45)},       {QPalette::Text, QColor(238, 238, 236)},
        {QPalette::Button, QColor(60, 60, 60)},     {QPalette::ButtonText, QColor(238, 238, 236)},
        {QPalette::Highlight, QColor(21, 83, 158)}, {QPalette::Link, QColor(120, 170, 255)},
    };
    for (const auto &[role, colour] : colours)
        dark.setColor(role, colour);
    return dark;
}

// Every interface below the window by the object name of its widget, found the
// way a screen reader finds them: child by child from the window down.
void collect(QAccessibleInterface *parent, QHash<QString, QAccessibleInterface *> &found)
{
    for (int i = 0; i < parent->childCount(); ++i) {
        if (QAccessibleInterface *child = parent->child(i)) {
            found.insert(child->object() ? child->object()->objectName() : QString(), child);
            collect(child, found);
        }
    }
}

} // namespace

class TestEveryUser : public QObject
{
    Q_OBJECT

public slots: // stands in for the browser
    void browse(const QUrl &url) { m_opened.append(url.toString()); }

private slots:
    void initTestCase()
    {
        QApplication::setStyle("Fusion");
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        QDesktopServices::setUrlHandler("https", this, "browse");
    }

    void cleanupTestCase() { QDesktopServices::unsetUrlHandler("https"); }

    void cleanup()
    {
        QApplication::setPalette(QApplication::style()->standardPalette());
        QApplication::setFont(QFont());
    }

    void controls_data()
    {
        QTest::addColumn<bool>("about");
        QTest::addColumn<QString>("object");
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("name"); // none: a decoration the reader passes over

        const auto row = [](bool about, const char *object, QAccessible::Role role,
                            const char *name = nullptr) {
            QTest::addRow("%s %s", about ? "about" : "main", object)
                << about << object << int(role) << QString(name);
        };
        row(false, "txtCellID", QAccessible::EditableText, "Cell ID:");
        row(false, "txtHEXVal", QAccessible::EditableText, "HEX:");
        row(false, "txtOutputString", QAccessible::EditableText, "Вывод:");
        row(false, "txtChannel", QAccessible::EditableText, "Канал:");
        row(false, "txtLocation", QAccessible::EditableText, "Описание или местоположение:");
        row(false, "lstOutput", QAccessible::List, "Просмотр файла");
        row(false, "imgAddToFile", QAccessible::Button, "Добавить в файл");
        row(false, "imgRemoveFromFile", QAccessible::Button, "Удалить из файла");
        row(false, "imgSaveToFile", QAccessible::Button, "Сохранить в файл");
        row(true, "lblPhoneSite", QAccessible::Link, "https://phones.example.org/");
        row(true, "lblToolSite", QAccessible::Link, "https://flasher.example.net/");
        for (const char *decoration :
             {"Image1", "Image2", "Image3", "Image4", "Image5", "Image6", "Image7", "Image8"})
            row(false, decoration, QAccessible::Graphic);
        for (const char *decoration : {"Label3", "Image1", "Image2", "Image3", "Image4", "Image5"})
            row(true, decoration, QAccessible::Graphic);
    }

    void controls()
    {
        QFETCH(bool, about);
        QFETCH(QString, object);
        QFETCH(int, role);
        QFETCH(QString, name);
        const bool pressable = role == QAccessible::Button || role == QAccessible::Link;

        frmMain main;
        frmAbout aboutWindow(&main);
        QWidget *window = about ? static_cast<QWidget *>(&aboutWindow) : &main;
        window->show();
        QHash<QString, QAccessibleInterface *> found;
        collect(QAccessible::queryAccessibleInterface(window), found);
        QAccessibleInterface *control = found.value(object);
        QVERIFY(control);
        QCOMPARE(control->state().invisible, name.isEmpty());
        QCOMPARE(int(control->role()), role);
        QCOMPARE(control->text(QAccessible::Name), name);
        QAccessibleActionInterface *actions = control->actionInterface();
        const QString press = QAccessibleActionInterface::pressAction();
        QCOMPARE(actions && actions->actionNames().contains(press), pressable);
        if (role == QAccessible::Link) {
            m_opened.clear();
            actions->doAction(press);
            QCOMPARE(m_opened, QStringList{name});
        } else if (pressable) { // a press does what a click does
            const QByteArray clicked = outcome(object, false);
            QVERIFY(!clicked.isEmpty());
            QCOMPARE(outcome(object, true), clicked);
        }
    }

    void textsStandOut_data()
    {
        QTest::addColumn<QString>("palette");
        QTest::addColumn<QString>("window");
        // Windows' own inactive highlight is the window colour; and the close buttons
        // must hold their text in a large font.
        for (const char *palette : {"light", "dark", "inactive", "large"})
            for (const char *window : {"main", "info", "about"})
                QTest::addRow("%s %s", palette, window) << palette << window;
    }

    void textsStandOut()
    {
        QFETCH(QString, palette);
        QFETCH(QString, window);
        QPalette colours = palette == "dark" ? darkPalette() : QApplication::palette();
        if (palette == "inactive")
            colours.setColor(QPalette::Inactive, QPalette::Highlight,
                             colours.color(QPalette::Inactive, QPalette::Window));
        QApplication::setPalette(colours);
        if (palette == "large")
            QApplication::setFont(QFont(QApplication::font().family(), 14));

        frmMain main;
        QStringListModel list;
        std::unique_ptr<QWidget> shown;
        QStringList texts{"Label1",          "Label2",     "Label3",     "Label4",    "Label5",
                          "Label6",          "Label7",     "Label8",     "txtCellID", "txtHEXVal",
                          "txtOutputString", "txtChannel", "txtLocation"};
        const QStringList links{"lblPhoneSite", "lblToolSite"};
        if (window == "main") {
            main.findChild<QLineEdit *>("txtCellID")->setText("12345");
            main.findChild<QLineEdit *>("txtChannel")->setText("17");
            main.findChild<QLineEdit *>("txtLocation")->setText("Тула");
        } else if (window == "info") {
            shown = std::make_unique<frmInfo>(&list, &main);
            texts = QStringList{"Label1", "lblBTSCount"};
        } else {
            shown = std::make_unique<frmAbout>(&main);
            texts = QStringList{"Label1", "Label5", "Label4", "Label6", "Label2"} + links;
        }
        QWidget *top = shown ? shown.get() : &main;
        top->show();
        QVERIFY(QTest::qWaitForWindowExposed(top));
        if (palette == "inactive") {
            main.show();
            main.activateWindow();
            QTRY_VERIFY(main.isActiveWindow());
        }
        const QImage image = top->grab().toImage();
        QStringList faint;
        for (const QString &name : texts) {
            QWidget *widget = top->findChild<QWidget *>(name);
            QVERIFY2(widget, qPrintable(name));
            QRect area(widget->mapTo(top, QPoint()), widget->size());
            if (qobject_cast<QLineEdit *>(widget)) // a box's frame is the theme's own drawing
                area.adjust(3, 3, -3, -3);
            const double measured = textContrast(image, area);
            if (measured < (links.contains(name) ? 3.0 : 4.5))
                faint.append(QString::asprintf("%s %.2f:1", qPrintable(name), measured));
        }
        QVERIFY2(faint.isEmpty(), qPrintable(faint.join(", ")));
        if (auto *button = top->findChild<QPushButton *>("cmdClose")) {
            QStyleOptionButton option;
            option.initFrom(button);
            const QRect room =
                button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
            const QRect needed = button->fontMetrics().boundingRect(button->text());
            QVERIFY(needed.width() <= room.width() && needed.height() <= room.height());
        }
    }

private:
    // The list and the saved file after one entry was typed (and added, unless the
    // button is the one that adds) and the button then clicked or pressed.
    QByteArray outcome(const QString &button, bool press)
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
        auto *picture = window.findChild<PictureButton *>(button);
        if (press)
            QAccessible::queryAccessibleInterface(picture)->actionInterface()->doAction(
                QAccessibleActionInterface::pressAction());
        else
            QTest::mouseClick(picture, Qt::LeftButton);
        QFile saved(file);
        const QByteArray bytes = saved.open(QIODevice::ReadOnly) ? saved.readAll() : QByteArray();
        return window.cellList().entries().join('\n').toUtf8() + '|' + bytes;
    }

    QTemporaryDir m_dir;
    QStringList m_opened;
};

QTEST_MAIN(TestEveryUser)
#include "tst_everyuser.moc"
