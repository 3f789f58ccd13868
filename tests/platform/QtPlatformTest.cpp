#include "platform/QtPlatform.h"
#include "platform/Controls.h"
#include "platform/Fonts.h"
#include "support/ModalCloser.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

struct BoxCase {
    MsgButtons buttons;
    MsgAnswer defaultButton;
    QStringList captions;
    QString defaultCaption;
    QString escapeCaption;
};

TEST(QtMessages, ButtonsSpeakJapaneseWithTheirDefaultAndEscape)
{
    const BoxCase cases[] = {
        {MsgButtons::YesNo,
         MsgAnswer::Yes,
         {QStringLiteral("はい"), QStringLiteral("いいえ")},
         QStringLiteral("はい"),
         QStringLiteral("いいえ")},
        {MsgButtons::YesNoCancel,
         MsgAnswer::Yes,
         {QStringLiteral("はい"), QStringLiteral("いいえ"), QStringLiteral("キャンセル")},
         QStringLiteral("はい"),
         QStringLiteral("キャンセル")},
        {MsgButtons::Ok,
         MsgAnswer::Ok,
         {QStringLiteral("OK")},
         QStringLiteral("OK"),
         QStringLiteral("OK")},
    };
    for (const BoxCase& c : cases) {
        QStringList captions;
        QString defaultCaption, escapeCaption, title, text;
        ModalCloser closer([&](QDialog* dialog) {
            auto* box = qobject_cast<QMessageBox*>(dialog);
            ASSERT_NE(box, nullptr);
            for (QAbstractButton* b : box->buttons())
                captions.append(b->text());
            defaultCaption = box->defaultButton()->text();
            escapeCaption = box->escapeButton()->text();
            title = box->windowTitle();
            text = box->text();
            box->escapeButton()->click();
        });
        QtMessages messages;
        const MsgAnswer answer = messages.show({QStringLiteral("本文"), QStringLiteral("見出し"),
                                                c.buttons, MsgIcon::Question, c.defaultButton});
        captions.sort();
        QStringList expected = c.captions;
        expected.sort();
        EXPECT_EQ(captions, expected);
        EXPECT_EQ(defaultCaption, c.defaultCaption);
        EXPECT_EQ(escapeCaption, c.escapeCaption);
        EXPECT_EQ(title, QStringLiteral("見出し"));
        EXPECT_EQ(text, QStringLiteral("本文"));
        // Esc answers No where there is no Cancel button.
        const MsgAnswer escape = c.buttons == MsgButtons::YesNo         ? MsgAnswer::No
                                 : c.buttons == MsgButtons::YesNoCancel ? MsgAnswer::Cancel
                                                                        : MsgAnswer::Ok;
        EXPECT_EQ(answer, escape);
    }
}

TEST(QtPlatform, FilterSplitsIntoDescriptionsAndPatterns)
{
    const QList<FilterEntry> entries = parseFilter(QStringLiteral(
        "HTMLファイル(*.html,*.htm)|*.html;*.htm|全てのテキストファイル|*.txt;*.log;*.doc;"));
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0].description, QStringLiteral("HTMLファイル(*.html,*.htm)"));
    EXPECT_EQ(entries[0].patterns,
              (QStringList{QStringLiteral("*.html"), QStringLiteral("*.htm")}));
    EXPECT_EQ(entries[1].patterns, (QStringList{QStringLiteral("*.txt"), QStringLiteral("*.log"),
                                                QStringLiteral("*.doc")}));
}

TEST(QtFiles, WritesWholeFilesAndReportsWhatItCannotDo)
{
    QTemporaryDir dir;
    QtFiles files;
    const QString path = dir.filePath(QStringLiteral("日記.htm"));
    const QByteArray bytes("\x90\xb0\x82\xea\r\n\x00\xff", 8);
    EXPECT_FALSE(files.exists(path));
    EXPECT_TRUE(files.isWritable(path)); // not there yet, but its folder is writable
    ASSERT_TRUE(files.writeAll(path, bytes));
    EXPECT_TRUE(files.exists(path));
    EXPECT_EQ(files.readAll(path), bytes);
    EXPECT_TRUE(files.remove(path));
    EXPECT_FALSE(files.readAll(path).has_value());
    EXPECT_FALSE(files.remove(path));
    const QString noFolder = dir.filePath(QStringLiteral("missing/x.htm"));
    EXPECT_FALSE(files.writeAll(noFolder, bytes));
    EXPECT_FALSE(files.exists(dir.path())); // a folder is not a file
}

TEST(QtFiles, OnlyRegularFilesHaveAStampAndFoldersAreTold)
{
    QTemporaryDir dir;
    QtFiles files;
    const QString pipe = dir.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    for (const QString& notAFile : {pipe, QStringLiteral("/dev/zero"), dir.path()})
        EXPECT_FALSE(files.stamp(notAFile).has_value()) << notAFile.toStdString();
    const QString path = dir.filePath(QStringLiteral("a.htm"));
    ASSERT_TRUE(files.writeAll(path, "abc"));
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &status), 0);
    EXPECT_EQ(files.stamp(path),
              (FileStamp{QFileInfo(path).lastModified(), 3, quint64(status.st_dev)}));
    EXPECT_TRUE(files.folderExists(path));
    EXPECT_FALSE(files.folderExists(dir.filePath(QStringLiteral("missing/a.htm"))));
}

TEST(QtFiles, ReplacingAFileKeepsItsLinkAndPermissions)
{
    QTemporaryDir dir;
    QtFiles files;
    const QString target = dir.filePath(QStringLiteral("diary.htm"));
    const QString link = dir.filePath(QStringLiteral("link.htm"));
    ASSERT_TRUE(files.writeAll(target, "old"));
    ASSERT_TRUE(
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    ASSERT_TRUE(QFile::link(target, link));
    const QFile::Permissions before = QFile::permissions(target);

    ASSERT_TRUE(files.writeAll(link, "new"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(files.readAll(target), QByteArray("new"));
    EXPECT_EQ(QFile::permissions(target), before);
    EXPECT_FALSE(QFile::permissions(target).testFlag(QFile::ReadOther));
}

// A full disk, as root sees one: the process may not make files larger than the limit.
TEST(QtFiles, AWriteCutShortLeavesTheOldFileWhole)
{
    QTemporaryDir dir;
    QtFiles files;
    const QString path = dir.filePath(QStringLiteral("diary.htm"));
    const QByteArray old(600, 'o');
    ASSERT_TRUE(files.writeAll(path, old));
    for (const qsizetype size :
         {qsizetype(2000), qsizetype(100000)}) { // ends in the buffer / passes it
        rlimit saved{};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit limited = saved;
        limited.rlim_cur = 1000;
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
        const bool written = files.writeAll(path, QByteArray(size, 'n'));
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);

        EXPECT_FALSE(written) << size;
        EXPECT_EQ(files.readAll(path), old) << size;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1) << size;
    }
}

// The work folder is the rule's choice for the program's own path; a folder missing is made for
// the writer alone, one already there is left as it is.
TEST(QtSystem, MakesTheWorkFolderTheRuleChoosesOnlyWhenMissing)
{
    QTemporaryDir home;
    const QString there = home.filePath(QStringLiteral("there"));
    ASSERT_TRUE(QDir().mkdir(there, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                        | QFile::ReadOther | QFile::ExeOther));
    const std::pair<QString, mode_t> cases[] = {
        {home.filePath(QStringLiteral("share/pelmora")), 0700},
        {there, 0705},
    };
    for (const auto& [folder, mode] : cases) {
        QString asked;
        QtSystem system([&](const QString& programFilePath) {
            asked = programFilePath;
            return folder + u'/';
        });
        EXPECT_EQ(system.workFolder(), folder + u'/');
        EXPECT_EQ(asked, QCoreApplication::applicationFilePath());
        struct stat status {};
        ASSERT_EQ(::stat(QFile::encodeName(folder).constData(), &status), 0) << mode;
        EXPECT_TRUE(S_ISDIR(status.st_mode)) << mode;
        EXPECT_EQ(status.st_mode & 07777, mode);
    }
}

TEST(Controls, PictureLabelShowsTheStandardPictureAtItsSize)
{
    QWidget window;
    QLabel* picture = makePictureLabel("Image1", QStyle::SP_MessageBoxQuestion, 32, &window);
    EXPECT_EQ(picture->pixmap().size(), QSize(32, 32));
    EXPECT_EQ(picture->objectName(), QStringLiteral("Image1"));
}

TEST(Fonts, WindowsFaceNamesShowInTheInstalledJapaneseFaces)
{
    mapWindowsFaceNames();
    const QFont gothic(QStringLiteral("ＭＳ ゴシック"), 10);
    EXPECT_EQ(QFontInfo(gothic).family(), QStringLiteral("IPAGothic"));
    EXPECT_EQ(gothic.family(), QStringLiteral("ＭＳ ゴシック")); // the name the settings keep
    EXPECT_EQ(QFontInfo(QFont(QStringLiteral("ＭＳ Ｐゴシック"), 10)).family(),
              QStringLiteral("IPAPGothic"));
}

} // namespace

namespace {

// A button's standard icon, small or large, normal or disabled, looks as the style's own.
TEST(ButtonIcon, DrawsWhatTheStylesIconDraws)
{
    struct Case {
        int side;
        qreal scale;
        QIcon::Mode mode;
    };
    const Case cases[] = {{16, 1, QIcon::Normal}, {32, 1, QIcon::Normal},   {64, 1, QIcon::Normal},
                          {16, 2, QIcon::Normal}, {16, 1, QIcon::Disabled}, {12, 1, QIcon::Normal}};
    for (const QStyle::StandardPixmap which :
         {QStyle::SP_DialogHelpButton, QStyle::SP_DialogCloseButton, QStyle::SP_DialogOkButton}) {
        const QIcon ours = buttonIcon(which);
        const QIcon styles = QApplication::style()->standardIcon(which);
        for (const auto& [side, scale, mode] : cases) {
            const QImage expected = styles.pixmap(QSize(side, side), scale, mode).toImage();
            const QImage drawn = ours.pixmap(QSize(side, side), scale, mode).toImage();
            EXPECT_FALSE(drawn.isNull()) << which << " " << side;
            EXPECT_EQ(drawn.size(), expected.size()) << which << " " << side;
            EXPECT_EQ(drawn.convertToFormat(QImage::Format_ARGB32),
                      expected.convertToFormat(QImage::Format_ARGB32))
                << which << " " << side << " " << mode;
        }
    }
}

} // namespace

namespace {

// The weekday goes into the diary in Japanese under any locale (this test runs under whatever
// locale the machine has; under C or en_US the system's names were "Mon" and so on).
TEST(QtClockWeekday, IsJapaneseWhateverTheLocale)
{
    QtClock clock;
    const QString expected = QStringLiteral("月火水木金土日");
    for (int day = 1; day <= 7; ++day)
        EXPECT_EQ(clock.shortDayName(day), expected.mid(day - 1, 1)) << day;
}

} // namespace
