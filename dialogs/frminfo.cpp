#include "frminfo.h"
#include "ui_frminfo.h"

#include "fittotext.h"
#include "uifont.h"

namespace vusk {

frmInfo::frmInfo(qsizetype entryCount, QWidget *owner)
    : ToolWindow(owner), ui(std::make_unique<Ui::frmInfo>()), m_entryCount(entryCount)
{
    ui->setupUi(this);
    setFixedSize(219, 145);

    QFont caption = tahomaFont();
    caption.setBold(true);
    for (QLabel *label : {ui->Label1, ui->Label2, ui->Label3}) {
        label->setFont(caption);
        fitToText(label);
    }
    for (QLabel *value : {ui->lblBTSCount, ui->lblRepeats, ui->lblFileSize})
        value->setFont(tahomaFont());
    // A large system font would spill out of the fixed button.
    ui->cmdClose->setFont(tahomaFont());

    connect(ui->cmdClose, &QPushButton::clicked, this, &frmInfo::cmdClose_Click);
    Form_Load();
    ui->cmdClose->setFocus();
}

frmInfo::~frmInfo() = default;

void frmInfo::showFor(qsizetype entryCount, QWidget *owner)
{
    frmInfo window(entryCount, owner);
    window.exec();
}

void frmInfo::Form_Load()
{
    ui->lblBTSCount->setText(QString::number(m_entryCount));
}

void frmInfo::cmdClose_Click()
{
    close();
}

} // namespace vusk
