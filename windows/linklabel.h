#pragma once

#include "picturebutton.h"

namespace vusk {

// A web address shown as a link: highlight colour, underlined, the hand
// pointer. Clicks like a picture button.
class LinkLabel : public PictureButton
{
    Q_OBJECT

public:
    explicit LinkLabel(QWidget *parent = nullptr);

protected:
    void changeEvent(QEvent *event) override;
};

} // namespace vusk
