#pragma once

#include <QLabel>

namespace vusk {

// A label that acts on a single left click, pressed and released over it: no
// pressed look, no focus. The second press of a double click does not count
// again. Pictures keep the normal arrow pointer.
class PictureButton : public QLabel
{
    Q_OBJECT

public:
    explicit PictureButton(QWidget *parent = nullptr);

    // What a click does; assistive technology presses the button through it.
    void click();

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
