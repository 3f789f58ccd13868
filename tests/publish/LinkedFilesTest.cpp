#include "publish/LinkedFiles.h"
#include "SiteFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Which links of a diary name a local file that goes with it, as writers write them.
TEST(LinkedFiles, OnlyRelativeLinksInsideTheDiarysFolderGo)
{
    QTemporaryDir root;
    const QString folder = root.filePath(QStringLiteral("diary"));
    QDir().mkpath(folder + QStringLiteral("/img/2026"));
    QDir().mkpath(folder + QStringLiteral("/archive"));
    for (const char* name : {"img/2026/1208.jpg", "diary.css", "a b.png", "写真.jpg", "p.htm"})
        writeAll(folder + u'/' + QString::fromUtf8(name), "x");
    writeAll(root.filePath(QStringLiteral("outside.png")), "x");
    const struct {
        const char* link;
        const char* sent; // "" when nothing goes, "missing:" and the name when told missing
    } rows[] = {
        {R"(<IMG SRC="img/2026/1208.jpg">)", "img/2026/1208.jpg"},
        {R"(<link rel=stylesheet href='diary.css'>)", "diary.css"},
        {R"(<img src=./img/2026/1208.jpg?v=2#x>)", "img/2026/1208.jpg"},
        {R"(<img src="a%20b.png">)", "a b.png"},
        {"<img src=\"写真.jpg\">", "写真.jpg"},
        {R"(<a href = "p.htm#top">)", "p.htm"},
        {R"(<img src="img/../../outside.png">)", ""},
        {R"(<img src="../outside.png">)", ""},
        {R"(<img src="http://example.jp/a.png">)", ""},
        {R"(<a href="mailto:me@example.jp">)", ""},
        {R"(<img src="/img/2026/1208.jpg">)", ""},
        {R"(<a href="#top">)", ""},
        {R"(<a href="archive/">)", ""},
        {R"(<a href="diary.htm">)", ""},
        {R"(<img src="img/none.png">)", "missing:img/none.png"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.link);
        const DiaryLinks links =
            linkedFiles(folder + QStringLiteral("/diary.htm"), QString::fromUtf8(row.link));
        const QString sent = QString::fromUtf8(row.sent);
        if (sent.startsWith(QStringLiteral("missing:"))) {
            EXPECT_EQ(links.missing, QStringList{sent.mid(8)});
            EXPECT_TRUE(links.files.isEmpty());
        } else {
            ASSERT_EQ(links.files.size(), sent.isEmpty() ? 0 : 1);
            EXPECT_TRUE(links.missing.isEmpty());
            if (!sent.isEmpty()) {
                EXPECT_EQ(links.files[0].remoteName, sent);
            }
        }
    }
}

} // namespace
