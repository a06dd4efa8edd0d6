#pragma once

namespace vusk {

// Lets the standard controls take the system's themed look. Only Windows needs
// it (together with the manifest); elsewhere it does nothing.
void initCommonControls();

// Qt's standard dialogs and buttons speak the user's language where Qt's own
// translations are installed. Call once the application object exists.
void installQtTranslations();

} // namespace vusk
