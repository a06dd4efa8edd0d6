#pragma once

#include "picturebutton.h"

namespace vusk {

// A web address shown as a link: underlined, the hand pointer, in the theme's
// highlight colour where that stands out from the window, else in its link
// colour. Clicks like a picture button.
class LinkLabel : public PictureButton
{
    Q_OBJECT

public:
    explicit LinkLabel(QWidget *parent = nullptr);

protected:
    void changeEvent(QEvent *event) override;

private:
    void pickLinkColour();

    bool m_pickingColour = false;
};

} // namespace vusk
