#pragma once

#include <QString>

class KeyStore;

// Choices of the diary editor kept in the settings store beside the twenty settings values,
// each under a name of its own.

inline const QString htmlColoringName = QStringLiteral("HtmlColoring");

// Whether AllMemo colours its HTML: "0" turns it off; any other text, a missing value or no
// store at all leaves it on.
bool readHtmlColoring(KeyStore& store);
// The stored text of the choice: "1" on, "0" off.
QString htmlColoringText(bool on);
