#pragma once

#include <QPixmap>
#include <QString>

namespace vusk {

// One of the program's pictures at its natural size; on high-density screens the
// drawing made for them (name@2x.png).
QPixmap picture(const QString &name, QSize size);

} // namespace vusk
