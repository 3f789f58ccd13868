#include "settings/WindowPlace.h"

#include <QStringList>

#include <algorithm>

std::optional<WindowPlace> parseWindowPlace(const QString& text)
{
    const QStringList fields = text.split(u',');
    if (fields.size() != 5)
        return std::nullopt;
    int numbers[4] = {};
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        numbers[i] = fields[i].trimmed().toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    const QString maximised = fields[4].trimmed();
    if (numbers[2] <= 0 || numbers[3] <= 0 || (maximised != u"0" && maximised != u"1"))
        return std::nullopt;
    return WindowPlace{QRect(numbers[0], numbers[1], numbers[2], numbers[3]), maximised == u"1"};
}

QString windowPlaceText(const WindowPlace& place)
{
    const QRect& r = place.geometry;
    return QStringLiteral("%1,%2,%3,%4,%5")
        .arg(r.x())
        .arg(r.y())
        .arg(r.width())
        .arg(r.height())
        .arg(place.maximised ? 1 : 0);
}

bool fitsOnAScreen(const QRect& geometry, const QList<QRect>& availableAreas)
{
    return std::any_of(availableAreas.begin(), availableAreas.end(),
                       [&](const QRect& area) { return area.contains(geometry); });
}
