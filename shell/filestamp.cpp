#include "filestamp.h"

#include <QFile>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace vusk {

std::optional<FileStamp> fileStampOf(const QFile &file)
{
    if (!file.isOpen())
        return std::nullopt;
#ifdef Q_OS_WIN
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(file.handle()));
    BY_HANDLE_FILE_INFORMATION info;
    if (handle == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(handle, &info))
        return std::nullopt;
    return FileStamp{qint64(info.nFileSizeHigh) << 32 | info.nFileSizeLow,
                     qint64(info.ftLastWriteTime.dwHighDateTime) << 32 |
                         info.ftLastWriteTime.dwLowDateTime};
#else
    struct stat info;
    if (::fstat(file.handle(), &info) != 0)
        return std::nullopt;
    return FileStamp{qint64(info.st_size),
                     qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
#endif
}

} // namespace vusk
