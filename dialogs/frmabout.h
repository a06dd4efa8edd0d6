#pragma once

#include "toolwindow.h"

#include <memory>

namespace Ui {
class frmAbout;
}

namespace vusk {

// The About window: name, version, credits and two web links.
class frmAbout : public ToolWindow
{
    Q_OBJECT

public:
    explicit frmAbout(QWidget *owner);
    ~frmAbout() override;

    // Loads a fresh window, shows it modally over the owner and unloads it once closed.
    static void showFor(QWidget *owner);

    // "v1.0 build 5": major, minor and revision; the third number is never shown.
    static QString versionText();

private:
    void setUpPictures();
    void Form_Load();
    void lblToolSite_Click();
    void lblPhoneSite_Click();
    void cmdClose_Click();

    std::unique_ptr<Ui::frmAbout> ui;
};

} // namespace vusk
