#include "app/AboutInfo.h"
#include "app/THelpVerForm.h"
#include "app/TPleaseForm.h"
#include "support/FakePlatform.h"

#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

TEST(AboutInfo, ReadmeIsFoundBesideTheProgramAboveItOrInTheDocFolder)
{
    const struct {
        const char* name;
        QString folder;
        QStringList present;
        QString expected;
    } cases[] = {
        {"beside",
         u"/opt/pelmora/"_s,
         {u"/opt/pelmora/README.md"_s, u"/opt/README.md"_s},
         u"/opt/pelmora/README.md"_s},
        {"above (a build folder)",
         u"/home/w/pelmora/build/"_s,
         {u"/home/w/pelmora/README.md"_s, u"/usr/share/doc/pelmora/README.md"_s},
         u"/home/w/pelmora/README.md"_s},
        {"nowhere", u"/home/w/pelmora/build/"_s, {}, u"/home/w/pelmora/build/README.md"_s},
        {"root folder", u"/"_s, {}, u"/README.md"_s},
        {"installed",
         u"/usr/bin/"_s,
         {u"/usr/share/doc/pelmora/README.md"_s},
         u"/usr/share/doc/pelmora/README.md"_s},
    };
    for (const auto& c : cases) {
        FakeFiles files;
        for (const QString& path : c.present)
            files.files.insert(path, "# Pelmora");
        EXPECT_EQ(about::readmePath(files, c.folder, u"/usr/share/doc/pelmora/"_s), c.expected)
            << c.name;
    }
}

TEST(AboutInfo, GuideOfTheCheckoutForABuildAndTheInstalledOneWhenInstalled)
{
    const QString source = u"/home/w/pelmora/docs/guide.md"_s;
    const QString installed = u"/usr/share/doc/pelmora/docs/guide.md"_s;
    const struct {
        const char* name;
        bool programInstalled;
        QStringList present;
        QString expected;
    } cases[] = {
        {"build tree", false, {source, installed}, source},
        {"build tree, checkout gone", false, {installed}, installed},
        {"installed", true, {source, installed}, installed},
        {"installed, guide removed", true, {source}, QString()},
    };
    for (const auto& c : cases) {
        FakeFiles files;
        for (const QString& path : c.present)
            files.files.insert(path, "# Pelmora");
        EXPECT_EQ(about::guidePath(files, c.programInstalled, u"/home/w/pelmora/docs/"_s,
                                   u"/usr/share/doc/pelmora/docs/"_s),
                  c.expected)
            << c.name;
    }
}

TEST(AboutInfo, MemoryInMegabytesWithSeparators)
{
    const struct {
        qint64 bytes;
        QString text;
    } cases[] = {
        {0, u"不明"_s},
        {-1, u"不明"_s},
        {1024 * 1024 - 1, u"0 MB"_s},
        {999LL * 1024 * 1024, u"999 MB"_s},
        {1000LL * 1024 * 1024, u"1,000 MB"_s},
        {8LL * 1024 * 1024 * 1024, u"8,192 MB"_s},
        {1234567LL * 1024 * 1024 + 5, u"1,234,567 MB"_s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(about::memoryText(c.bytes), c.text) << c.bytes;
}

// Each copy button puts exactly what its line shows on the clipboard.
TEST(AboutWindows, CopyButtonsCopyWhatTheWindowShows)
{
    FakePlatform fake;
    fake.files.files.insert(u"/opt/pelmora/README.md"_s, "# Pelmora");
    THelpVerForm version(u"/opt/pelmora/"_s, u"/home/w/.local/share/pelmora/"_s, fake.clipboard,
                         fake.files);
    version.show();
    EXPECT_EQ(version.VersionLabel->text(), u"Pelmora Ver. 2.20"_s);
    EXPECT_FALSE(version.SystemLabel->text().isEmpty());
    EXPECT_TRUE(version.MemoryLabel->text().endsWith(u" MB"_s));
    const std::pair<QPushButton*, QString> copies[] = {
        {version.VersionCopyBtn, u"Pelmora Ver. 2.20"_s},
        {version.SystemCopyBtn, version.SystemLabel->text()},
        {version.MemoryCopyBtn, version.MemoryLabel->text()},
        {version.FolderCopyBtn, u"/opt/pelmora/"_s},
        {version.ReadmeCopyBtn, u"/opt/pelmora/README.md"_s},
        {version.WorkFolderCopyBtn, u"/home/w/.local/share/pelmora/"_s},
    };
    for (const auto& [button, text] : copies) {
        fake.clipboard.content.clear();
        button->click();
        EXPECT_EQ(fake.clipboard.content, text) << button->objectName().toStdString();
    }
    version.OKBtn->click();
    EXPECT_FALSE(version.isVisible());

    TPleaseForm links(u"/home/w/pelmora/build/"_s, fake.clipboard, fake.files);
    fake.files.files.insert(u"/home/w/pelmora/README.md"_s, "# Pelmora");
    links.show(); // found afresh at each showing
    links.ReadmeCopyBtn->click();
    EXPECT_EQ(fake.clipboard.content, u"/home/w/pelmora/README.md"_s);
    EXPECT_EQ(links.ReadmeLabel->text(), u"/home/w/pelmora/README.md"_s);
}

} // namespace
