#include "picture.h"

#include <QIcon>

namespace vusk {

QPixmap picture(const QString &name, QSize size)
{
    // QIcon is what picks the @2x file.
    return QIcon(QStringLiteral(":/images/%1.png").arg(name)).pixmap(size);
}

} // namespace vusk
