#include "frmmain.h"
#include "ui_frmmain.h"

#include "accessibility.h"
#include "cellentry.h"
#include "cellidconversion.h"
#include "celllistfile.h"
#include "celllistformat.h"
#include "celllistmodel.h"
#include "celllistreading.h"
#include "contrast.h"
#include "fileaccess.h"
#include "fittotext.h"
#include "frameaboveviewport.h"
#include "frmabout.h"
#include "frminfo.h"
#include "menushortcutfilter.h"
#include "modcommondialog.h"
#include "modgeneric.h"
#include "picture.h"
#include "platformstartup.h"
#include "programfolder.h"
#include "programinfo.h"
#include "tabstopdelegate.h"
#include "typedtextguard.h"
#include "uifont.h"
#include "version.h"

#include <QCloseEvent>
#include <QDir>
#include <QDropEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QLayout>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSessionManager>
#include <QTimer>
#include <limits>

namespace vusk {

namespace {

const QColor readOnlyBoxColour(224, 224, 224);
// The darkest grey of the column header picture behind the captions.
const QColor headerColour(212, 212, 212);

const QString cellListFilter =
    QStringLiteral("Текстовые документы (*.txt)|*.txt|Все файлы (*.*)|*.*");
const QString cellListExtension = QStringLiteral("txt");
const QString informationTitle = QStringLiteral("Информация");
const QString waitForReadText = QStringLiteral("Дождитесь окончания чтения предыдущего файла.");
const QString warningTitle = QStringLiteral("Предупреждение");

// Why an entry cannot be written, naming it as a person counts.
QString unwritableEntryText(const EncodedCellList &encoded)
{
    const qsizetype number = encoded.badEntry + 1;
    if (encoded.tooLong)
        return QStringLiteral("Запись %1 длиннее %2 знаков: такую строку нельзя будет прочитать "
                              "из файла. Файл не сохранён.")
            .arg(number)
            .arg(maxLineBytes);
    return QStringLiteral("Запись %1 содержит символы, которых нет в кодировке Windows-1251. "
                          "Файл не сохранён.")
        .arg(number);
}

QString saveFailedText(const QString &path, const QString &reason)
{
    return QStringLiteral("Не удалось сохранить файл %1:\n%2.")
        .arg(QDir::toNativeSeparators(path), reason);
}

// The local files a drag brings; nothing else it may carry is opened.
QStringList localFiles(const QDropEvent *event)
{
    QStringList paths;
    // Files are only read: a source that cannot leave a copy keeps its file.
    if (event->possibleActions().testFlag(Qt::CopyAction))
        for (const QUrl &url : event->mimeData()->urls())
            if (url.isLocalFile())
                paths.append(url.toLocalFile());
    return paths;
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

QString frmMain::webSiteAddress()
{
    return QString::fromLatin1(homepageUrl);
}

void frmMain::Form_Initialize()
{
    initCommonControls();
}

void frmMain::Form_Load()
{
    m_cellList->clear();
    // Marked while the list holds changes that no save has written.
    setWindowTitle(windowTitleText() + QStringLiteral("[*]"));
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

    // A line end would split the entry's file line; a tab in the channel would move
    // its tail into the description. The description holds what one file line carries
    // beside the longest key, the channel and the two tabs, so every entry reads back.
    new TypedTextGuard(ui->txtChannel, QStringLiteral("\r\n\t"));
    new TypedTextGuard(ui->txtLocation, QStringLiteral("\r\n"));
    ui->txtLocation->setMaxLength(
        int(maxLineBytes - cellKeyMaxLength - ui->txtChannel->maxLength() - 2));

    for (QLineEdit *box : {ui->txtHEXVal, ui->txtOutputString}) {
        QPalette palette = box->palette();
        palette.setColor(QPalette::Base, readOnlyBoxColour);
        box->setPalette(palette);
        keepTextReadableOn(box, QPalette::Text, readOnlyBoxColour);
    }
    for (QLabel *caption : {ui->Label6, ui->Label7, ui->Label8})
        keepTextReadableOn(caption, QPalette::WindowText, headerColour);

    m_cellList = new CellListModel(this);
    m_reading = new CellListReading(this);
    ui->lstOutput->setModel(m_cellList);
    ui->lstOutput->setItemDelegate(new TabStopDelegate(ui->lstOutput));
    ui->lstOutput->setUniformItemSizes(true);
    ui->lstOutput->setSelectionMode(QAbstractItemView::SingleSelection);
    ui->lstOutput->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui->lstOutput->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    new FrameAboveViewport(ui->lstOutput); // whole at every display scale
    // No label names the list; its frame's caption says what it holds.
    ui->lstOutput->setAccessibleName(ui->Frame3->title());
    setAcceptDrops(true);

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
    for (int size : programIconSizes)
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
    for (QLabel *decoration : {ui->Image1, ui->Image2, ui->Image3, ui->Image4, ui->Image5,
                               ui->Image6, ui->Image7, ui->Image8})
        hideFromAssistiveTechnology(decoration);
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
    connect(ui->imgSaveToFile, &PictureButton::clicked, this, &frmMain::imgSaveToFile_Click);
    connect(ui->mnuFileOpen, &QAction::triggered, this, &frmMain::mnuFileOpen_Click);
    connect(ui->mnuFileSaveAs, &QAction::triggered, this, &frmMain::mnuFileSaveAs_Click);
    connect(ui->mnuFileInformation, &QAction::triggered, this, &frmMain::mnuFileInformation_Click);
    connect(ui->mnuFileExit, &QAction::triggered, this, &frmMain::mnuFileExit_Click);
    connect(ui->mnuHelpWebSite, &QAction::triggered, this, &frmMain::mnuHelpWebSite_Click);
    connect(ui->mnuHelpAbout, &QAction::triggered, this, &frmMain::mnuHelpAbout_Click);
    connect(m_reading, &CellListReading::lineRead, m_cellList, &CellListModel::appendSoon);
    // Whatever window holds the read, the list behind it shows every line read.
    connect(m_reading, &CellListReading::held, m_cellList, &CellListModel::showPendingRows);
    connect(m_reading, &CellListReading::finished, this, &frmMain::cellListReadEnded);
    connect(m_reading, &CellListReading::encodingFound, this, &frmMain::cellListEncodingFound);
    connect(m_reading, &CellListReading::lineRead, this, [this] {
        if (m_readAddsChanges)
            setListChanged(true);
    });
#if QT_CONFIG(sessionmanager)
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this, &frmMain::commitData);
#endif
    // Once the read and what it tells are over.
    connect(m_reading, &CellListReading::finished, this, &frmMain::openNextFile,
            Qt::QueuedConnection);
    connect(ui->mnuEditAdd, &QAction::triggered, this, &frmMain::mnuEditAdd_Click);
    connect(ui->mnuEditDelete, &QAction::triggered, this, &frmMain::mnuEditDelete_Click);

    QList<QKeySequence> menuKeys;
    for (QAction *action : findChildren<QAction *>())
        if (!action->shortcut().isEmpty())
            menuKeys.append(action->shortcut());
    auto *filter = new MenuShortcutFilter(menuKeys, this);
    for (QWidget *widget :
         std::initializer_list<QWidget *>{ui->txtCellID, ui->txtHEXVal, ui->txtOutputString,
                                          ui->txtChannel, ui->txtLocation, ui->lstOutput}) {
        widget->installEventFilter(filter);
        widget->installEventFilter(this);
    }
}

void frmMain::moveToScreenCentre()
{
    if (const QScreen *screen = this->screen()) {
        const QRect available = screen->availableGeometry();
        // move() places the frame, which would put the client area a title bar
        // below the centre; the geometry is the client area itself.
        QRect client(QPoint(), sizeHint());
        client.moveCenter(available.center());
        setGeometry(client);
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
    setListChanged(true);
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
        showMessage(QMessageBox::Warning, QStringLiteral("Предупреждение"),
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
    // An emptied list holds nothing a save could write.
    setListChanged(m_cellList->count() > 0);
}

// After an edit or a save, the lines a read appends are changes: they are in no
// file as the list now stands. An answer given as the desktop session ended was
// about the list as it was.
void frmMain::setListChanged(bool changed)
{
    m_readAddsChanges = true;
    if (changed)
        m_endAgreed = false;
    setWindowModified(changed);
}

void frmMain::showMessage(QMessageBox::Icon icon, const QString &title, const QString &text,
                          QWidget *over)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok, over ? over : this);
    box.exec();
}

void frmMain::mnuFileOpen_Click()
{
    const QString path = ShowFileDialog(this, cellListFilter, cellListExtension, OpenExistingFile,
                                        QStringLiteral("VUSK: Открытие файла"),
                                        QStringLiteral("btsinfo.txt"), cellListFolder(), 0);
    if (!path.isEmpty())
        LoadCellList(path);
}

void frmMain::LoadCellList(const QString &path)
{
    // The file's lines go after the entries already listed; one file at a time.
    if (m_reading->isReading()) {
        showMessage(QMessageBox::Information, informationTitle, waitForReadText);
        return;
    }
    m_readAddsChanges = isWindowModified() || m_cellList->count() > 0;
    QString error;
    if (!m_reading->start(path, &error))
        cellListReadEnded(CellListReading::End::Failed, error);
}

void frmMain::cellListEncodingFound(TextEncoding encoding)
{
    // Told from the window's own event loop, not from inside the read, which waits
    // behind the message; a read that ends first tells it before its end.
    m_encodingNotice =
        QStringLiteral("Файл «%1» записан в кодировке %2; список будет сохранён в Windows-1251.")
            .arg(FileNameOfPath(m_reading->path()), encodingName(encoding));
    QTimer::singleShot(0, this, &frmMain::tellEncodingNotice);
}

void frmMain::tellEncodingNotice()
{
    // A window closed meanwhile has nothing more to say.
    if (!m_encodingNotice.isEmpty() && isVisible())
        showMessage(QMessageBox::Information, informationTitle,
                    std::exchange(m_encodingNotice, {}));
}

void frmMain::openFiles(const QStringList &paths)
{
    m_filesToOpen += paths;
    // From the event loop, so that the window is up before any message.
    QMetaObject::invokeMethod(this, &frmMain::openNextFile, Qt::QueuedConnection);
}

void frmMain::openNextFile()
{
    // A file that cannot be opened is told about, and the next one follows; a
    // closed window opens nothing more.
    while (isVisible() && !m_reading->isReading() && !m_filesToOpen.isEmpty())
        LoadCellList(m_filesToOpen.takeFirst());
}

void frmMain::dragEnterEvent(QDragEnterEvent *event)
{
    dragMoveEvent(event);
}

void frmMain::dragMoveEvent(QDragMoveEvent *event)
{
    // A drag that is not taken is ignored, and the pointer shows it.
    event->setDropAction(Qt::CopyAction);
    event->setAccepted(!localFiles(event).isEmpty());
}

void frmMain::dropEvent(QDropEvent *event)
{
    const QStringList paths = localFiles(event);
    if (paths.isEmpty()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    // The drag's source waits for this handler, so what the drop brings comes after it.
    if (m_reading->isReading() || !m_filesToOpen.isEmpty())
        QMetaObject::invokeMethod(
            this,
            [this] { showMessage(QMessageBox::Information, informationTitle, waitForReadText); },
            Qt::QueuedConnection);
    else
        openFiles(paths);
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    // A box would take a dragged file's name as text; files are the window's.
    const QEvent::Type type = event->type();
    if ((type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop) &&
        static_cast<QDropEvent *>(event)->mimeData()->hasUrls()) {
        if (type == QEvent::Drop)
            dropEvent(static_cast<QDropEvent *>(event));
        else
            dragMoveEvent(static_cast<QDragMoveEvent *>(event));
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::cellListReadEnded(CellListReading::End end, const QString &error)
{
    m_cellList->showPendingRows();
    tellEncodingNotice();
    switch (end) {
    case CellListReading::End::EndOfFile:
    case CellListReading::End::LineLimit:
        break;
    case CellListReading::End::MoreThanLimit:
        // Saving back over such a file would drop the rest without a word.
        showMessage(QMessageBox::Information, informationTitle,
                    QStringLiteral("Прочитаны только первые %1 строк файла.").arg(maxLinesPerRead));
        break;
    case CellListReading::End::Failed:
        showMessage(QMessageBox::Critical, applicationTitle(),
                    QStringLiteral("Не удалось прочитать файл %1:\n%2.")
                        .arg(QDir::toNativeSeparators(m_reading->path()), error));
        break;
    }
}

void frmMain::imgSaveToFile_Click()
{
    saveCellList();
}

bool frmMain::saveCellList()
{
    if (m_cellList->count() == 0) {
        showMessage(QMessageBox::Question, informationTitle,
                    QStringLiteral("Может сперва что-нибудь добавим?"));
        return false;
    }
    // Encoded whole first: an entry that cannot be written stops the save before
    // anything is asked or touched, rather than turning into '?' or into a line that
    // cannot be read back.
    const QStringList entries = m_cellList->entries();
    EncodedCellList encoded = encodeCellList(entries);
    if (!encoded.ok()) {
        showMessage(QMessageBox::Warning, warningTitle, unwritableEntryText(encoded));
        return false;
    }
    const QString path =
        ShowFileDialog(this, cellListFilter, cellListExtension, SaveAskingToReplace,
                       QStringLiteral("VUSK: Сохранение файла"), QStringLiteral("btsinfo_txt.txt"),
                       cellListFolder(), 0, [this](QWidget *dialog, const QString &target) {
                           return saveTargetAccepted(target, dialog);
                       });
    if (path.isEmpty() || !saveTargetAccepted(path))
        return false;
    // A read waits while the dialog is open, so the list is as it was encoded; if it
    // were not, the list as it is now is what gets written.
    if (m_cellList->entries() != entries) {
        encoded = encodeCellList(m_cellList->entries());
        if (!encoded.ok()) {
            showMessage(QMessageBox::Warning, warningTitle, unwritableEntryText(encoded));
            return false;
        }
    }
    QString error;
    if (!saveFileAtomically(path, encoded.bytes, &error, m_saveCommit)) {
        showMessage(QMessageBox::Critical, applicationTitle(), saveFailedText(path, error));
        return false;
    }
    setListChanged(false);
    return true;
}

bool frmMain::saveTargetAccepted(const QString &path, QWidget *over)
{
    // The read would go on from the file it opened while the file on disk kept
    // only the lines read so far.
    if (m_reading->isReadingFile(path)) {
        showMessage(QMessageBox::Information, informationTitle, waitForReadText, over);
        return false;
    }
    QString refusal;
    if (!checkSaveTarget(path, &refusal)) {
        showMessage(QMessageBox::Critical, applicationTitle(), saveFailedText(path, refusal), over);
        return false;
    }
    return true;
}

void frmMain::mnuFileSaveAs_Click()
{
    imgSaveToFile_Click();
}

void frmMain::mnuFileInformation_Click()
{
    // Every entry counts, empty ones and those a read has just added included; the
    // list behind the window shows them all as well.
    m_cellList->showPendingRows();
    frmInfo::showFor(m_cellList->count(), this);
}

void frmMain::mnuHelpWebSite_Click()
{
    OpenWebLink(this, webSiteAddress());
}

void frmMain::mnuHelpAbout_Click()
{
    frmAbout::showFor(this);
}

void frmMain::closeEvent(QCloseEvent *event)
{
    // The close box, Alt+F4 and "Выход" alike. Once the program ends, a read in
    // progress adds nothing more.
    if (!mayEnd()) {
        event->ignore();
        return;
    }
    m_reading->abandon();
    QMainWindow::closeEvent(event);
}

void frmMain::mnuFileExit_Click()
{
    close();
}

// Whether the program may end now. With changes no save has written it asks first;
// "Да" saves as the save picture does, and only a save that worked lets it end.
bool frmMain::mayEnd()
{
    if (!isWindowModified() || m_endAgreed)
        return true;
    if (m_askingToEnd) // the question is on screen already
        return false;
    m_askingToEnd = true;
    const auto asked = qScopeGuard([this] { m_askingToEnd = false; });
    QMessageBox box(QMessageBox::Question, applicationTitle(),
                    QStringLiteral("Сохранить изменения в списке?"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Да"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Нет"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("Отмена"));
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return saveCellList();
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

#if QT_CONFIG(sessionmanager)
void frmMain::commitData(QSessionManager &manager)
{
    // The desktop session is ending. Where the session manager lets the program ask,
    // it asks as closing does, and "Отмена" or a failed save keeps the session going;
    // the close that follows an agreed end asks nothing more.
    if (!isWindowModified() || !manager.allowsInteraction())
        return;
    if (mayEnd())
        m_endAgreed = true;
    else
        manager.cancel();
}
#endif

void frmMain::mnuEditAdd_Click()
{
    imgAddToFile_Click();
}

void frmMain::mnuEditDelete_Click()
{
    imgRemoveFromFile_Click();
}

} // namespace vusk
