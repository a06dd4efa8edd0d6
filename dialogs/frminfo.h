#pragma once

#include "toolwindow.h"

#include <memory>

namespace Ui {
class frmInfo;
}

namespace vusk {

// The Information window: how many entries the main window's list holds. The
// duplicate and file size rows are laid out but nothing computes them.
class frmInfo : public ToolWindow
{
    Q_OBJECT

public:
    // Shows entryCount, the number of entries in the list; the window never updates it.
    frmInfo(qsizetype entryCount, QWidget *owner);
    ~frmInfo() override;

    // Loads a fresh window, shows it modally over the owner and unloads it once closed.
    static void showFor(qsizetype entryCount, QWidget *owner);

private:
    void Form_Load();
    void cmdClose_Click();

    std::unique_ptr<Ui::frmInfo> ui;
    const qsizetype m_entryCount;
};

} // namespace vusk
