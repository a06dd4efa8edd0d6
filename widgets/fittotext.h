#pragma once

class QLabel;

namespace vusk {

// Labels without a width of their own grow to their text, overhanging pixels of
// the last letter included; the left edge stays.
void fitToText(QLabel *label);

} // namespace vusk
