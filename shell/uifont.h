#pragma once

#include <QFont>

namespace vusk {

// The font of every caption, text box and list: Tahoma 8.25 pt, or the closest
// face this system has where Tahoma is missing.
QFont tahomaFont();

// Puts the font on the widget; its children inherit it.
void applyTahomaFont(class QWidget *widget);

} // namespace vusk
