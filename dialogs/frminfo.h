#pragma once

#include "toolwindow.h"

#include <memory>

class QAbstractItemModel;

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
    // Reads the count of the list once, now; the window never updates it.
    frmInfo(const QAbstractItemModel *list, QWidget *owner);
    ~frmInfo() override;

    // Loads a fresh window, shows it modally over the owner and unloads it once closed.
    static void showFor(const QAbstractItemModel *list, QWidget *owner);

private:
    void Form_Load();
    void cmdClose_Click();

    std::unique_ptr<Ui::frmInfo> ui;
    const QAbstractItemModel *m_list;
};

} // namespace vusk
