#pragma once

#include <QChar>
#include <QString>

// The work the killed child leaves unsaved, and what the restoring parent expects back. The
// texts hold what a lossy store would spoil: a private-use byte escape, an emoji, a lone
// surrogate, a no-break space.
namespace unsaved {

inline QString year()
{
    return QStringLiteral("2024");
}
inline QString month()
{
    return QStringLiteral("2");
}
inline QString day()
{
    return QStringLiteral("29");
}
inline QString weather()
{
    return QStringLiteral("霧のち晴れ");
}
inline QString title()
{
    return QStringLiteral("閏日");
}
inline QString titleCaption()
{
    return QStringLiteral("タイトル： 閏日");
}
// Typed key by key, then an emoji as an input method commits it, then pasted.
inline QString bodyTyped()
{
    return QStringLiteral("四年に一度の日");
}
inline QString bodyCommitted()
{
    return QStringLiteral("😀");
}
inline QString bodyPasted()
{
    return QStringLiteral("\r\n二行目\uF7EE\u00A0終わり");
}
inline QString body()
{
    return bodyTyped() + bodyCommitted() + bodyPasted();
}
inline QString diaryPasted()
{
    return QStringLiteral("<HTML>\r\n<BODY>\r\n壊れたバイト\uF7EE\uF780と絵文字🎉") + QChar(0xD800)
           + QStringLiteral("\r\n") + QChar(0xDFFF) + QStringLiteral("</BODY>\r\n");
}
inline QString diaryTyped()
{
    return QStringLiteral("追記");
}
inline QString diaryCommitted()
{
    return QStringLiteral("🍵");
}
inline QString diary()
{
    return diaryPasted() + diaryTyped() + diaryCommitted();
}

} // namespace unsaved
