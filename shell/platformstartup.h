#pragma once

namespace vusk {

// Lets the standard controls take the system's themed look. Only Windows needs
// it (together with the manifest); elsewhere it does nothing.
void initCommonControls();

} // namespace vusk
