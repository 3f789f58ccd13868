#pragma once

#include <QStringView>

namespace text {

// A number field's text as the program reads it: decimal digits only, ASCII or full-width (as an
// input method types them), in any mix. Anything else (empty, letters, a sign, a blank, a decimal
// point, a number too large for an int) reads as -1, which no field accepts.
int readFieldNumber(QStringView text);

} // namespace text
