#include "frmabout.h"
#include "ui_frmabout.h"

#include "accessibility.h"
#include "contrast.h"
#include "fittotext.h"
#include "modgeneric.h"
#include "picture.h"
#include "uifont.h"
#include "version.h"

#include <QIcon>

namespace vusk {

frmAbout::frmAbout(QWidget *owner) : ToolWindow(owner), ui(std::make_unique<Ui::frmAbout>())
{
    ui->setupUi(this);
    setFixedSize(367, 249);

    for (QLabel *label : findChildren<QLabel *>())
        label->setFont(tahomaFont());
    // A large system font would spill out of the fixed button.
    ui->cmdClose->setFont(tahomaFont());
    QFont bold = tahomaFont();
    bold.setBold(true);
    ui->Label1->setFont(bold);
    for (QLabel *label :
         std::initializer_list<QLabel *>{ui->Label1, ui->Label4, ui->lblPhoneSite, ui->lblToolSite})
        fitToText(label);

    // The header band is a plain white panel whatever the colour scheme.
    QPalette band = ui->Label3->palette();
    band.setColor(QPalette::Window, Qt::white);
    ui->Label3->setPalette(band);
    for (QLabel *onBand : {ui->Label1, ui->Label5})
        keepTextReadableOn(onBand, QPalette::WindowText, Qt::white);
    // The nearest the palette has to the colour of an empty workspace.
    ui->lblAppVer->setForegroundRole(QPalette::Dark);
    setUpPictures();

    connect(ui->lblToolSite, &LinkLabel::clicked, this, &frmAbout::lblToolSite_Click);
    connect(ui->lblPhoneSite, &LinkLabel::clicked, this, &frmAbout::lblPhoneSite_Click);
    connect(ui->cmdClose, &QPushButton::clicked, this, &frmAbout::cmdClose_Click);
    Form_Load();
    ui->cmdClose->setFocus();
}

frmAbout::~frmAbout() = default;

void frmAbout::showFor(QWidget *owner)
{
    frmAbout window(owner);
    window.exec();
}

QString frmAbout::versionText()
{
    return QStringLiteral("v%1.%2 build %3")
        .arg(version::major)
        .arg(version::minor)
        .arg(version::revision);
}

void frmAbout::setUpPictures()
{
    ui->Image3->setPixmap(picture(QStringLiteral("portrait"), {48, 48}));
    // Both rules are 16 x 16 drawings stretched over their strip.
    ui->Image1->setPixmap(picture(QStringLiteral("rule"), {16, 16}));
    ui->Image4->setPixmap(picture(QStringLiteral("divider"), {16, 16}));
    for (QLabel *bullet : {ui->Image2, ui->Image5})
        bullet->setPixmap(picture(QStringLiteral("bullet"), {4, 7}));
    for (QLabel *decoration :
         {ui->Label3, ui->Image1, ui->Image2, ui->Image3, ui->Image4, ui->Image5})
        hideFromAssistiveTechnology(decoration);
}

void frmAbout::Form_Load()
{
    ui->lblAppVer->setText(versionText());
    fitToText(ui->lblAppVer);
}

void frmAbout::lblToolSite_Click()
{
    OpenWebLink(this, ui->lblToolSite->text());
}

void frmAbout::lblPhoneSite_Click()
{
    OpenWebLink(this, ui->lblPhoneSite->text());
}

void frmAbout::cmdClose_Click()
{
    close();
}

} // namespace vusk
