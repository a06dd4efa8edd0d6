#include "fittotext.h"

#include <QLabel>

namespace vusk {

void fitToText(QLabel *label)
{
    const QSize inked = label->fontMetrics().boundingRect(label->text()).size();
    label->resize(label->sizeHint().expandedTo(inked));
}

} // namespace vusk
