#pragma once

#include <QString>

class QWidget;

// Types the text into the widget as key presses, one character each, as an input method would
// hand them over (QTest::keyClicks takes only ASCII).
void typeText(QWidget* widget, const QString& text);
