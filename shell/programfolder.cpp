#include "programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef Q_OS_WIN
// Qt's switch for reading NTFS access rights; see QFileInfo's documentation.
extern Q_CORE_EXPORT int qt_ntfs_permission_lookup;
#endif

namespace vusk {

namespace {

// Without the NTFS lookup Qt only reads the read-only attribute, which folders
// such as C:\Program Files do not carry, so they would look writable. The
// lookup is slow, so it is on only for this one question.
bool folderIsWritable(const QString &folder)
{
#ifdef Q_OS_WIN
    ++qt_ntfs_permission_lookup;
    const bool writable = QFileInfo(folder).isWritable();
    --qt_ntfs_permission_lookup;
    return writable;
#else
    return QFileInfo(folder).isWritable();
#endif
}

} // namespace

QString cellListFolder()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    if (folderIsWritable(programFolder))
        return QDir::toNativeSeparators(programFolder);
    return QDir::toNativeSeparators(
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
}

} // namespace vusk
