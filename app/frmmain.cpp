#include "frmmain.h"
#include "ui_frmmain.h"

#include "cellentry.h"
#include "cellidconversion.h"
#include "celllistmodel.h"
#include "menushortcutfilter.h"
#include "platformstartup.h"
#include "tabstopdelegate.h"
#include "uifont.h"
#include "version.h"

#include <QIcon>
#include <QLayout>
#include <QMessageBox>
#include <QScreen>

namespace vusk {

namespace {

const QColor readOnlyBoxColour(224, 224, 224);

QPixmap picture(const QString &name, QSize size)
{
    // QIcon picks the @2x drawing on high-density screens.
    return QIcon(QStringLiteral(":/images/%1.png").arg(name)).pixmap(size);
}

// Labels are as large as their text, overhanging pixels of the last letter included.
void fitToText(QLabel *label)
{
    const QSize inked = label->fontMetrics().boundingRect(label->text()).size();
    label->resize(label->sizeHint().expandedTo(inked));
}

} // namespace

frmMain::frmMain(QWidget *parent) : QMainWindow(parent), ui(std::make_unique<Ui::frmMain>())
{
    Form_Initialize();
    ui->setupUi(this);
    setUpControls();
    setUpPictures();
    wireEvents();
    Form_Load();
    moveToScreenCentre();
}

frmMain::~frmMain() = default;

QString frmMain::windowTitleText()
{
    return QStringLiteral("VUSK v%1.%2.%3 [engineer build]")
        .arg(version::major)
        .arg(version::minor)
        .arg(version::revision);
}

void frmMain::Form_Initialize()
{
    initCommonControls();
}

void frmMain::Form_Load()
{
    m_cellList->clear();
    setWindowTitle(windowTitleText());
}

void frmMain::setUpControls()
{
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    // The client area is fixed; the menu bar comes on top of it.
    ui->centralwidget->setFixedSize(393, 346);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    for (QWidget *frame : {ui->Frame1, ui->Frame2, ui->Frame3})
        applyTahomaFont(frame);
    for (QLabel *caption : {ui->Label1, ui->Label2, ui->Label3, ui->Label4, ui->Label5, ui->Label6,
                            ui->Label7, ui->Label8})
        fitToText(caption);

    for (QLineEdit *box : {ui->txtHEXVal, ui->txtOutputString}) {
        QPalette palette = box->palette();
        palette.setColor(QPalette::Base, readOnlyBoxColour);
        box->setPalette(palette);
    }

    m_cellList = new CellListModel(this);
    ui->lstOutput->setModel(m_cellList);
    ui->lstOutput->setItemDelegate(new TabStopDelegate(ui->lstOutput));
    ui->lstOutput->setUniformItemSizes(true);
    ui->lstOutput->setSelectionMode(QAbstractItemView::SingleSelection);
    ui->lstOutput->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui->lstOutput->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    // The separators have names like every other menu item.
    const std::pair<QMenu *, QStringList> separatorNames[] = {
        {ui->mnuFile, {QStringLiteral("mnuFileSep1"), QStringLiteral("mnuFileSep2")}},
        {ui->mnuHelp, {QStringLiteral("mnuHelpSep1")}},
    };
    for (const auto &[menu, names] : separatorNames) {
        qsizetype next = 0;
        for (QAction *action : menu->actions())
            if (action->isSeparator() && next < names.size())
                action->setObjectName(names.at(next++));
    }
}

void frmMain::setUpPictures()
{
    QIcon programIcon;
    for (int size : {16, 32, 48})
        programIcon.addFile(QStringLiteral(":/images/app-icon-%1.png").arg(size));
    setWindowIcon(programIcon);
    const QSize small(16, 16);
    ui->Image1->setPixmap(picture(QStringLiteral("antenna"), {48, 48}));
    ui->Image2->setPixmap(picture(QStringLiteral("textfield"), {32, 32}));
    ui->imgAddToFile->setPixmap(picture(QStringLiteral("add"), small));
    ui->imgRemoveFromFile->setPixmap(picture(QStringLiteral("remove"), small));
    ui->imgSaveToFile->setPixmap(picture(QStringLiteral("save"), small));
    for (QLabel *mark : {ui->Image3, ui->Image4, ui->Image5})
        mark->setPixmap(picture(QStringLiteral("divider"), small));
    ui->Image6->setPixmap(picture(QStringLiteral("divider-grey"), small));
    ui->Image7->setPixmap(picture(QStringLiteral("rule"), small));
    ui->Image8->setPixmap(picture(QStringLiteral("header"), small));
}

void frmMain::wireEvents()
{
    connect(ui->txtCellID, &QLineEdit::textChanged, this, &frmMain::txtCellID_Change);
    connect(ui->lstOutput->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!m_changingSelection)
            lstOutput_Click();
    });
    connect(ui->imgAddToFile, &PictureButton::clicked, this, &frmMain::imgAddToFile_Click);
    connect(ui->imgRemoveFromFile, &PictureButton::clicked, this,
            &frmMain::imgRemoveFromFile_Click);
    connect(ui->mnuFileExit, &QAction::triggered, this, &frmMain::mnuFileExit_Click);
    connect(ui->mnuEditAdd, &QAction::triggered, this, &frmMain::mnuEditAdd_Click);
    connect(ui->mnuEditDelete, &QAction::triggered, this, &frmMain::mnuEditDelete_Click);

    QList<QKeySequence> menuKeys;
    for (QAction *action : findChildren<QAction *>())
        if (!action->shortcut().isEmpty())
            menuKeys.append(action->shortcut());
    auto *filter = new MenuShortcutFilter(menuKeys, this);
    for (QWidget *widget :
         std::initializer_list<QWidget *>{ui->txtCellID, ui->txtHEXVal, ui->txtOutputString,
                                          ui->txtChannel, ui->txtLocation, ui->lstOutput})
        widget->installEventFilter(filter);
}

void frmMain::moveToScreenCentre()
{
    if (const QScreen *screen = this->screen()) {
        const QRect available = screen->availableGeometry();
        const QSize size = sizeHint();
        move(available.center() - QPoint(size.width() / 2, size.height() / 2));
    }
    ui->txtCellID->setFocus();
}

void frmMain::txtCellID_Change()
{
    // Each step stands on its own: a failed conversion keeps the old hex text,
    // and the key is rebuilt from whatever the hex box holds.
    if (const auto hex = cellIdToHex(ui->txtCellID->text()))
        ui->txtHEXVal->setText(*hex);
    ui->txtOutputString->setText(cellKeyFromHex(ui->txtHEXVal->text()));
}

void frmMain::lstOutput_Click()
{
    const QModelIndexList selected = ui->lstOutput->selectionModel()->selectedRows();
    if (selected.isEmpty())
        return;
    const CellEntryFields fields = SplitCellEntry(m_cellList->entryAt(selected.first().row()));
    ui->txtOutputString->setText(fields.key);
    if (fields.channel)
        ui->txtChannel->setText(*fields.channel);
    ui->txtLocation->setText(fields.description);
}

void frmMain::imgAddToFile_Click()
{
    if (ui->txtCellID->text().isEmpty())
        return;
    m_cellList->append(BuildCellEntry(ui->txtOutputString->text(), ui->txtChannel->text(),
                                      ui->txtLocation->text()));
    selectEntry(int(m_cellList->count() - 1));
}

void frmMain::selectEntry(int row)
{
    const QModelIndex index = m_cellList->index(row);
    ui->lstOutput->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    ui->lstOutput->scrollTo(index);
}

void frmMain::imgRemoveFromFile_Click()
{
    QItemSelectionModel *selection = ui->lstOutput->selectionModel();
    const QModelIndexList selected = selection->selectedRows();
    if (selected.isEmpty()) {
        QMessageBox::warning(this, QStringLiteral("Предупреждение"),
                             QStringLiteral("Выберите строку для удаления!"));
        return;
    }
    // The view moves the current item to a neighbour and would select it;
    // after a removal nothing is selected and no box changes.
    m_changingSelection = true;
    m_cellList->removeAt(selected.first().row());
    selection->clearSelection();
    selection->setCurrentIndex({}, QItemSelectionModel::NoUpdate);
    m_changingSelection = false;
}

void frmMain::mnuFileExit_Click()
{
    close();
}

void frmMain::mnuEditAdd_Click()
{
    imgAddToFile_Click();
}

void frmMain::mnuEditDelete_Click()
{
    imgRemoveFromFile_Click();
}

} // namespace vusk
