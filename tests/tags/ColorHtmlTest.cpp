#include "tags/TagTexts.h"
#include "text/Cp932.h"

#include <QFile>
#include <gtest/gtest.h>

#include <set>

using namespace Qt::StringLiterals;

namespace {

QByteArray shippedColorHtml()
{
    QFile file(QStringLiteral(PELMORA_COLOR_HTML));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << PELMORA_COLOR_HTML;
    return file.readAll();
}

// The font tag of every state of the six colour buttons, as the decoration window writes it.
std::set<QString> writableFontTags()
{
    std::set<QString> fontTags;
    for (int down = 1; down < (1 << tags::ColourCount); ++down) {
        tags::DecorationButtons buttons;
        for (int c = 0; c < tags::ColourCount; ++c)
            buttons.colours[c] = down & (1 << c);
        fontTags.insert(tags::decorate(buttons).opening);
    }
    return fontTags;
}

TEST(ColorHtml, ShowsEveryColourTheDecorationWindowCanWrite)
{
    const QString page = text::decodeCp932(shippedColorHtml());
    const std::set<QString> fontTags = writableFontTags();
    EXPECT_EQ(fontTags.size(), 21u); // six alone, fifteen pairs
    for (const QString& tag : fontTags) {
        SCOPED_TRACE(tag.toStdString());
        const QString value = tag.section(u'"', 1, 1);
        ASSERT_TRUE(value.startsWith(u'#'));
        EXPECT_TRUE(page.contains(u"background-color: "_s + value + u'"')); // the swatch
        EXPECT_TRUE(page.contains(u'>' + value + u'<'));                    // the value
        EXPECT_TRUE(page.contains(tag));                                    // sample text
    }
}

TEST(ColorHtml, IsShiftJisWithCrLfLineEnds)
{
    const QByteArray bytes = shippedColorHtml();
    ASSERT_FALSE(bytes.isEmpty());
    EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n"));
    EXPECT_EQ(bytes.count('\r'), bytes.count("\r\n"));
    EXPECT_TRUE(bytes.endsWith("</html>\r\n"));
    const QString page = text::decodeCp932(bytes);
    EXPECT_TRUE(std::none_of(page.begin(), page.end(), [](QChar c) {
        return c.unicode() >= 0xF780 && c.unicode() <= 0xF7FF; // a byte that is no character
    }));
    EXPECT_EQ(text::encodeCp932(page).bytes, bytes);
    EXPECT_TRUE(page.contains(u"charset=Shift_JIS"_s));
    EXPECT_TRUE(page.contains(u"文字装飾"_s));
}

} // namespace
