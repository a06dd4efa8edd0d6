#pragma once

#include <QPointer>
#include <QWidget>

class QAbstractScrollArea;

namespace vusk {

// Draws a scroll area's frame once more, above the area, so that the whole frame
// shows at a fractional display scale. There a style's one-pixel line straddles
// device pixels: the part outside the area is cut off with the area, and the
// opaque viewport, whose device rectangle is rounded on its own, covers the part
// inside (at 150 % the list box lost its top and bottom lines).
class FrameAboveViewport : public QWidget
{
public:
    explicit FrameAboveViewport(QAbstractScrollArea *area);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QPointer<QAbstractScrollArea> m_area;
};

} // namespace vusk
