#pragma once

#include <QList>
#include <QRect>
#include <QString>

#include <optional>

// Where the main window was when it last closed, kept in the settings store beside the twenty
// settings values as the text "x,y,width,height,maximised" (maximised "1" or "0"). The
// rectangle is the window's normal geometry, the one it has when not maximised.
struct WindowPlace {
    QRect geometry;
    bool maximised = false;
    bool operator==(const WindowPlace&) const = default;
};

inline const QString windowPlaceName = QStringLiteral("MainWindowGeometry");

// Nothing for a text that is not five whole numbers with a positive size and a last field of
// "0" or "1".
std::optional<WindowPlace> parseWindowPlace(const QString& text);
QString windowPlaceText(const WindowPlace& place);

// True when the rectangle lies wholly inside the available area of one of the screens.
bool fitsOnAScreen(const QRect& geometry, const QList<QRect>& availableAreas);
