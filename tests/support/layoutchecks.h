#pragma once

class QLabel;

// The label shows all of its text (wrapped text: all of its lines).
void verifyFitsText(const QLabel *label);
