#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <functional>
#include <vector>

namespace picturegen {

// Each function draws one picture at the given scale (1 or 2); the result is
// scale times the picture's size and ready to save.

// Antenna mast with a ball on top and green waves; the program icon and the
// main window's tower picture. Small sizes get a simpler drawing.
QImage drawAntenna(int size, int scale);
QImage drawTextField(int scale);
QImage drawAdd(int scale);
QImage drawRemove(int scale);
QImage drawSave(int scale);
QImage drawPortrait(int scale);
QImage drawHandCursor(int scale);

// Pixel art: the same pixels at 2x, each doubled, so stretching stays crisp.
QImage drawDivider(int scale);
QImage drawDividerGrey(int scale);
QImage drawRule(int scale);
QImage drawHeader(int scale);
QImage drawBullet(int scale);

struct Picture
{
    QString name;
    QSize size;
    std::function<QImage(int scale)> draw;
};

// Every PNG under resources/images, by file name without ".png".
std::vector<Picture> allPictures();

} // namespace picturegen
