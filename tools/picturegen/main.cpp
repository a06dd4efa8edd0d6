// picturegen: draws every picture of the program.
//
//   picturegen IMAGES_DIR [ICO_FILE]
//   picturegen --icon-theme THEME_DIR ICON_NAME
//
// Writes NAME.png and NAME@2x.png for each picture into IMAGES_DIR, and the
// program icon to ICO_FILE (by default vusk.ico beside IMAGES_DIR). The second
// form writes the program icon as THEME_DIR/SIZExSIZE/apps/ICON_NAME.png, the
// layout of the desktop's hicolor icon theme.

#include "canvas.h"
#include "icowriter.h"
#include "pictures.h"
#include "programinfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>

namespace {

bool savePng(const QImage &image, const QString &path)
{
    if (image.save(path, "PNG"))
        return true;
    std::fprintf(stderr, "picturegen: cannot write %s\n", qPrintable(path));
    return false;
}

bool writeFile(const QByteArray &data, const QString &path)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit())
        return true;
    std::fprintf(stderr, "picturegen: cannot write %s\n", qPrintable(path));
    return false;
}

int writeThemeIcons(const QString &themeDir, const QString &iconName)
{
    for (int size : vusk::themeIconSizes) {
        const QDir apps(QDir(themeDir).filePath(QStringLiteral("%1x%1/apps").arg(size)));
        if (!apps.mkpath(QStringLiteral(".")) ||
            !savePng(picturegen::drawAntenna(size, 1),
                     apps.filePath(iconName + QStringLiteral(".png"))))
            return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 4 && qstrcmp(argv[1], "--icon-theme") == 0)
        return writeThemeIcons(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: picturegen IMAGES_DIR [ICO_FILE]\n"
                             "       picturegen --icon-theme THEME_DIR ICON_NAME\n");
        return 2;
    }
    const QString imagesDir = QString::fromLocal8Bit(argv[1]);
    const QString icoPath = argc == 3 ? QString::fromLocal8Bit(argv[2])
                                      : QDir::cleanPath(QFileInfo(imagesDir).absoluteFilePath() +
                                                        QStringLiteral("/../vusk.ico"));
    QDir dir(imagesDir);
    if (!dir.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "picturegen: cannot create %s\n", qPrintable(imagesDir));
        return 1;
    }

    bool ok = true;
    for (const picturegen::Picture &picture : picturegen::allPictures()) {
        for (int scale : {1, 2}) {
            const QImage image = picture.draw(scale);
            // A drawing function that gets its canvas wrong must not slip through.
            if (image.size() != picture.size * scale) {
                std::fprintf(stderr, "picturegen: %s drawn at the wrong size\n",
                             qPrintable(picture.name));
                return 1;
            }
            const QString suffix = scale == 1 ? QString() : QStringLiteral("@%1x").arg(scale);
            ok = savePng(image, dir.filePath(picture.name + suffix + QStringLiteral(".png"))) && ok;
        }
    }

    QList<QImage> iconImages;
    for (int size : vusk::programIconSizes)
        iconImages.append(picturegen::drawAntenna(size, 1));
    ok = writeFile(picturegen::buildIco(iconImages), icoPath) && ok;
    return ok ? 0 : 1;
}
