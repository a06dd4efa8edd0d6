#pragma once

#include <QString>

class QWidget;

namespace vusk {

// Hands a web address to the desktop, which opens it in the user's browser.
// Returns at once and reports nothing: a link that cannot be opened changes
// nothing in the program. The window is the one that asked.
void OpenWebLink(QWidget *form, const QString &address);

} // namespace vusk
