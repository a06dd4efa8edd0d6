#pragma once

#include <QLabel>

namespace vusk {

// A plain picture that acts on a single click: no pressed look, no focus, the
// normal arrow pointer. The second press of a double click does not count again.
class PictureButton : public QLabel
{
    Q_OBJECT

public:
    explicit PictureButton(QWidget *parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    bool m_pressed = false;
};

} // namespace vusk
