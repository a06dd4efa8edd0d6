#pragma once

#include <QFont>

class QWidget;

namespace vusk {

// The font of every caption, text box and list: Tahoma 8.25 pt, or the closest
// face this system has where Tahoma is missing.
QFont tahomaFont();

// Puts the font on the widget; its children inherit it.
void applyTahomaFont(QWidget *widget);

} // namespace vusk
