#pragma once

class QLabel;
class QWidget;

// The label shows all of its text (wrapped text: all of its lines).
void verifyFitsText(const QLabel *label);

// No caption among the container's own children runs into another caption's text, a box
// or the visible part of a picture, unless the picture holds it whole as its background.
void verifyCaptionsClear(const QWidget *container);
