#pragma once

class QWidget;

namespace vusk {

// Lets assistive technology see picture buttons as buttons and link labels as
// links, each with a press action that clicks it. Safe to call more than once.
void installAccessibleInterfaces();

// Keeps a picture that only decorates out of a screen reader's way.
void hideFromAssistiveTechnology(QWidget *decoration);

} // namespace vusk
