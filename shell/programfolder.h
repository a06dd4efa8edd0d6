#pragma once

#include <QString>

namespace vusk {

// Where the open and save dialogs start: the folder that holds the program, or
// the user's documents folder where the program's folder is not writable (a
// system-wide install).
QString cellListFolder();

} // namespace vusk
