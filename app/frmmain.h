#pragma once

#include "celllistfile.h"
#include "celllistreading.h"

#include <QMainWindow>
#include <QMessageBox>
#include <memory>

class QSessionManager;

namespace Ui {
class frmMain;
}

namespace vusk {

class CellListModel;

// The main window: owner of the cell list and of the boxes the next entry is
// composed in. Handlers keep the names of the controls and events they serve.
class frmMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    CellListModel &cellList() { return *m_cellList; }
    // The file read behind "Открыть", for those who wait for it to end.
    const CellListReading &cellListReading() const { return *m_reading; }

    // How saves take their last step, for whoever stages a disk failing at that moment.
    void setSaveCommitStep(CommitStep commit) { m_saveCommit = std::move(commit); }

    static QString windowTitleText();
    static QString webSiteAddress();

    // Opens the files in turn as "Открыть" opens one, each once the read before
    // it has ended.
    void openFiles(const QStringList &paths);

protected:
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Initialize();
    void Form_Load();
    void setUpControls();
    void setUpPictures();
    void wireEvents();
    void moveToScreenCentre();

    void txtCellID_Change();
    void lstOutput_Click();
    void imgAddToFile_Click();
    void imgRemoveFromFile_Click();
    void imgSaveToFile_Click();
    bool saveCellList();
    bool saveTargetAccepted(const QString &path, QWidget *over = nullptr);
    void mnuFileOpen_Click();
    void mnuFileSaveAs_Click();
    void LoadCellList(const QString &path);
    void openNextFile();
    void cellListReadEnded(CellListReading::End end, const QString &error);
    void cellListEncodingFound(TextEncoding encoding);
    void tellEncodingNotice();
    void mnuFileInformation_Click();
    void mnuFileExit_Click();
    bool mayEnd();
    void commitData(QSessionManager &manager);
    void setListChanged(bool changed);
    void mnuEditAdd_Click();
    void mnuEditDelete_Click();
    void mnuHelpWebSite_Click();
    void mnuHelpAbout_Click();

    void selectEntry(int row);
    void showMessage(QMessageBox::Icon icon, const QString &title, const QString &text,
                     QWidget *over = nullptr);

    std::unique_ptr<Ui::frmMain> ui;
    CellListModel *m_cellList = nullptr;
    CellListReading *m_reading = nullptr;
    // Named on the command line or dropped together, waiting for their turn.
    QStringList m_filesToOpen;
    // Set while the program itself changes the selection, so that only a new
    // selection splits an entry into the boxes.
    bool m_changingSelection = false;
    // What the read found out about its file's encoding, until the user is told.
    QString m_encodingNotice;
    // Whether the lines the read under way appends are changes: not while it fills an
    // empty list that nothing has changed.
    bool m_readAddsChanges = false;
    // The user has let the desktop session end with the list as it is now.
    bool m_endAgreed = false;
    bool m_askingToEnd = false;
    CommitStep m_saveCommit = commitDirectly;
};

} // namespace vusk
