#include "modgeneric.h"

#include <QDesktopServices>
#include <QUrl>

namespace vusk {

void OpenWebLink(QWidget *form, const QString &address)
{
    // The desktop owns whatever it shows for a failure; the program goes on.
    Q_UNUSED(form);
    QDesktopServices::openUrl(QUrl(address, QUrl::StrictMode));
}

} // namespace vusk
