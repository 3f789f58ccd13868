#include "settings/EditorChoices.h"

bool htmlColoringOn(const QHash<QString, QString>& others)
{
    return others.value(htmlColoringName) != u"0";
}

QString htmlColoringText(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

bool dateListOn(const QHash<QString, QString>& others)
{
    return others.value(dateListName) == u"1";
}

QString dateListText(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

int dateListWidth(const QHash<QString, QString>& others, int fallback)
{
    bool ok = false;
    const int width = others.value(dateListWidthName).toInt(&ok);
    return ok && width >= 120 && width <= 2000 ? width : fallback;
}

std::optional<bool> previewDocked(const QHash<QString, QString>& others)
{
    const QString text = others.value(previewPlaceName);
    if (text == u"1" || text == u"0")
        return text == u"1";
    return std::nullopt;
}
