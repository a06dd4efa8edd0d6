#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>

namespace picturegen {

// Packs square images of at most 255 pixels into a Windows .ico file. Each image is
// stored twice: palettised to 256 colours with a one-bit transparency mask, for
// old displays and for the executable's icon group, and as 32-bit BGRA with alpha.
// Qt's own ICO writer stores a single image, hence this one.
QByteArray buildIco(const QList<QImage> &images);

} // namespace picturegen
