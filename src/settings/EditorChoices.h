#pragma once

#include <QHash>
#include <QString>

#include <optional>

// Choices of the diary editor kept in the settings store beside the twenty settings values,
// each under a name of its own.

inline const QString htmlColoringName = QStringLiteral("HtmlColoring");

// Whether AllMemo colours its HTML, from the texts read beside the settings values: "0" turns it
// off; any other text or none leaves it on.
bool htmlColoringOn(const QHash<QString, QString>& others);
// The stored text of the choice: "1" on, "0" off.
QString htmlColoringText(bool on);

inline const QString previewPlaceName = QStringLiteral("PreviewPlace");

// Where the writer wants the preview: "1" (as htmlColoringText writes it) inside the main
// window, "0" in a window of its own; none (no text or another) when the writer has not chosen,
// and the screen's room decides.
std::optional<bool> previewDocked(const QHash<QString, QString>& others);

inline const QString dateListName = QStringLiteral("DateList");

// Whether the diary tab shows its list of entries by date: only "1" turns it on, so a writer
// who never chose it sees the tab as it always was.
bool dateListOn(const QHash<QString, QString>& others);
// The stored text of the choice: "1" on, "0" off.
QString dateListText(bool on);

inline const QString dateListWidthName = QStringLiteral("DateListWidth");
// The width of the date list in pixels as the writer left it; `fallback` when none is stored
// or the text is not a width between 120 and 2000.
int dateListWidth(const QHash<QString, QString>& others, int fallback);
