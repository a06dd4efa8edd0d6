#pragma once

#include <QString>

namespace vusk {

// The caption of message boxes that have no title of their own.
inline QString applicationTitle()
{
    return QStringLiteral("VUSK");
}

} // namespace vusk
