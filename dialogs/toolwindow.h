#pragma once

#include <QDialog>

namespace vusk {

// The common frame of the secondary windows: a fixed tool window with a close
// box only, shown modally over its owner. Escape does nothing here; only the
// close box and the window's own button close it.
class ToolWindow : public QDialog
{
    Q_OBJECT

protected:
    explicit ToolWindow(QWidget *owner);

    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
};

} // namespace vusk
