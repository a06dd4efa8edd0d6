// Every user can use the windows: with a screen reader, on any theme, in large fonts.
#include "celllistmodel.h"
#include "dialoganswers.h"
#include "frmabout.h"
#include "frminfo.h"
#include "frmmain.h"
#include "linklabel.h"
#include "platform.h"
#include "readable.h"

#include <QAccessible>
#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <cmath>
#include <map>

using namespace vusk;

namespace {

// The WCAG 2 contrast of two colours.
double contrastWith(QRgb a, QRgb b)
{
    const auto luminance = [](QRgb pixel) {
        const auto linear = [](int value) {
            const double c = value / 255.0;
            return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(qRed(pixel)) + 0.7152 * linear(qGreen(pixel)) +
               0.0722 * linear(qBlue(pixel)) + 0.05;
    };
    return std::max(luminance(a), luminance(b)) / std::min(luminance(a), luminance(b));
}

// The ground a text stands on, its commonest pixel, and its ink, the pixel that
// stands out most from the ground.
std::pair<QRgb, QRgb> groundAndInk(const QImage &image, const QRect &area)
{
    std::map<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[image.pixel(x, y)];
    const QRgb ground =
        std::ranges::max_element(counts, {}, [](auto &entry) { return entry.second; })->first;
    return {ground, std::ranges::max_element(counts, {}, [&](auto &entry) {
                        return contrastWith(ground, entry.first);
                    })->first};
}

} // namespace

class TestEveryUser : public QObject
{
    Q_OBJECT

public slots: // stands in for the browser
    void browse(const QUrl &url) { m_opened.append(url.toString()); }

public:
    static void initMain() { drawOffscreenUnlessNamed(); }

private slots:
    void initTestCase()
    {
        QApplication::setStyle("Fusion");
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        QDesktopServices::setUrlHandler("https", this, "browse");
        m_palette = QApplication::palette();
        m_font = QApplication::font();
    }

    void cleanupTestCase() { QDesktopServices::unsetUrlHandler("https"); }

    void cleanup() // each test starts from the same colours and font
    {
        QApplication::setPalette(m_palette);
        QApplication::setFont(m_font);
    }

    void controls_data()
    {
        QTest::addColumn<bool>("about");
        QTest::addColumn<QString>("object");
        QTest::addColumn<QAccessible::Role>("role");
        QTest::addColumn<QString>("name"); // none: a decoration the reader passes over
        const auto row = [](bool about, const char *object, QAccessible::Role role,
                            const char *name = nullptr) {
            QTest::addRow("%s %s", about ? "about" : "main", object)
                << about << object << role << QString(name);
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
        QFETCH(QAccessible::Role, role);
        QFETCH(QString, name);
        frmMain main;
        frmAbout aboutWindow(nullptr);
        QWidget *window = about ? static_cast<QWidget *>(&aboutWindow) : &main;
        window->show();
        auto *widget = window->findChild<QWidget *>(object);
        QVERIFY(widget);
        QAccessibleInterface *control = QAccessible::queryAccessibleInterface(widget);
        // A screen reader finds it child by child from the window down.
        for (QAccessibleInterface *child = control; child->object() != window;
             child = child->parent())
            QVERIFY2(child->parent()->indexOfChild(child) >= 0,
                     qPrintable(child->object()->objectName() + " is not among its parent's"));
        QCOMPARE(control->state().invisible, name.isEmpty());
        QCOMPARE(control->role(), role);
        COMPARE_TEXT("accessible name", control->text(QAccessible::Name), name);
        const QString press = QAccessibleActionInterface::pressAction();
        QAccessibleActionInterface *actions = control->actionInterface();
        QCOMPARE(actions && actions->actionNames().contains(press),
                 role == QAccessible::Button || role == QAccessible::Link);
        if (role == QAccessible::Link) { // a press does what a left click does, no other click
            m_opened.clear();
            actions->doAction(press);
            QTest::mouseClick(widget, Qt::RightButton);
            QTest::mouseClick(widget, Qt::LeftButton);
            QCOMPARE(m_opened, QStringList(2, name));
            QVERIFY(window->isVisible());
        } else if (role == QAccessible::Button) { // a press works the button as a click does
            typeText(main.findChild<QLineEdit *>("txtCellID"), "12345");
            if (object != "imgAddToFile")
                triggerAction(&main, "mnuEditAdd");
            QFile saved(m_dir.filePath(object + ".txt"));
            ModalWatcher saving(typeFileName(saved.fileName()));
            actions->doAction(press);
            QCOMPARE(main.cellList().count(), object == "imgRemoveFromFile" ? 0 : 1);
            QCOMPARE(saved.open(QIODevice::ReadOnly) ? saved.readAll() : "none",
                     object == "imgSaveToFile" ? "0x3039\t\t\r\n" : "none");
        }
    }

    void textsStandOut_data()
    {
        QTest::addColumn<QString>("palette");
        QTest::addColumn<QString>("window");
        // Windows' own inactive highlight is the window colour.
        for (const char *palette : {"light", "dark", "inactive", "large"})
            for (const char *window : {"main", "info", "about"})
                QTest::addRow("%s %s", palette, window) << palette << window;
    }

    void textsStandOut()
    {
        QFETCH(QString, palette);
        QFETCH(QString, window);
        QPalette colours = QApplication::style()->standardPalette();
        if (palette == "dark") { // and a highlight too dark to mark a link, as some themes have
            colours = QPalette(QColor(60, 60, 60), QColor(53, 53, 53));
            colours.setColor(QPalette::Highlight, QColor(21, 83, 158));
            colours.setColor(QPalette::Link, QColor(120, 170, 255));
        } else if (palette == "inactive") {
            colours.setColor(QPalette::Inactive, QPalette::Highlight,
                             colours.color(QPalette::Inactive, QPalette::Window));
        }
        QApplication::setPalette(colours);
        if (palette == "large")
            QApplication::setFont(QFont(QApplication::font().family(), 14));

        frmMain main;
        for (const char *box : {"txtCellID", "txtChannel", "txtLocation"})
            main.findChild<QLineEdit *>(box)->setText("12345");
        QWidget *info = new frmInfo(0, &main); // both go with the main window
        QWidget *about = new frmAbout(&main);
        QWidget *top = window == "info" ? info : window == "about" ? about : &main;
        top->show();
        QVERIFY(QTest::qWaitForWindowExposed(top));
        if (palette == "inactive") { // shown over the active main window
            main.show();
            main.activateWindow();
            QTRY_VERIFY(main.isActiveWindow());
        }
        const QImage image = top->grab().toImage();
        for (QWidget *widget : top->findChildren<QWidget *>()) {
            if (widget->property("text").toString().isEmpty() || !widget->isEnabled() ||
                widget->window() != top)
                continue; // greyed-out texts may be faint
            QRect area(widget->mapTo(top, QPoint()), widget->size());
            if (qobject_cast<QLineEdit *>(widget)) // a box's frame is the theme's own drawing
                area.adjust(3, 3, -3, -3);
            const auto [ground, ink] = groundAndInk(image, area);
            const bool link = qobject_cast<LinkLabel *>(widget);
            const bool version = widget->objectName() == "lblAppVer";
            // The version is in the colour of an empty workspace, a link in the link colour.
            const QColor colour =
                widget->palette().color(version ? QPalette::Dark : QPalette::Link);
            QVERIFY2(!(version || link) || contrastWith(colour.rgb(), ink) < 1.1,
                     qPrintable(widget->objectName() + " is drawn in " + QColor(ink).name() +
                                ", not in " + colour.name()));
            const double contrast = contrastWith(ground, ink), needed = link ? 3.0 : 4.5;
            QVERIFY2(version || contrast >= needed,
                     qPrintable(
                         widget->objectName() +
                         QString::asprintf(" stands out %.2f:1, needs %.1f:1", contrast, needed)));
        }
        if (auto *button = top->findChild<QPushButton *>("cmdClose")) // holds its text in any font
            QCOMPARE(button->size().expandedTo(button->sizeHint()), button->size());
    }

private:
    QTemporaryDir m_dir;
    QStringList m_opened;
    QPalette m_palette;
    QFont m_font;
};

QTEST_MAIN(TestEveryUser)
#include "tst_everyuser.moc"
