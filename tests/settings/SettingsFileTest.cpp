#include "core/AppError.h"
#include "settings/QtKeyStore.h"
#include "settings/SettingsStore.h"
#include "settings/SettingsTestData.h"
#include "support/FakePlatform.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Status = KeyStore::Status;

class TempConfig : public testing::Test {
protected:
    QTemporaryDir dir;

    // QSettings keeps what it read of a file for the rest of the process, so every case that
    // puts new bytes in place of a file uses a file of its own.
    QString storePath(const QString& folder = "oribeko") const
    {
        return dir.filePath(folder + "/Quillode.conf");
    }

    static void writeFile(const QString& path, const QByteArray& bytes)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    static QByteArray readFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static QStringList entries(const QString& folder)
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                      | QDir::NoDotAndDotDot);
    }

    static MainState sampleState()
    {
        MainState state = startState();
        setFields(state, sampleTexts());
        return state;
    }

    static void save(const QString& path, const MainState& state, FakeMessages& messages)
    {
        QtKeyStore store(path);
        saveSettings(store, state, state.EditorFontSize, state.EditorFontFace, messages);
    }

    static MainState load(const QString& path)
    {
        QtKeyStore store(path);
        MainState state = startState();
        loadSettings(store, state);
        return state;
    }
};

class KeyStoreFile : public TempConfig {};
class SettingsFile : public TempConfig {};

// The bytes of a literal, zero bytes included.
template <qsizetype N> QByteArray withZeros(const char (&literal)[N])
{
    return QByteArray(literal, N - 1);
}

// Random bytes that are the same on every run.
QByteArray junk(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 x = 12345;
    for (char& byte : bytes) {
        x = x * 1664525u + 1013904223u;
        byte = char(x >> 24);
    }
    return bytes;
}

// The same, as printable text in lines.
QByteArray textJunk(qsizetype size)
{
    QByteArray bytes = junk(size);
    for (char& byte : bytes) {
        const int n = uchar(byte) % 96;
        byte = n == 95 ? '\n' : char(' ' + n);
    }
    return bytes;
}

// True when after is before with bytes put in at one place.
bool onlyInserted(const QByteArray& before, const QByteArray& after)
{
    qsizetype prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix])
        ++prefix;
    return after.size() >= before.size() && after.endsWith(before.sliced(prefix));
}

} // namespace

TEST(KeyStoreFileLocation, IsTheUsersConfigFolder)
{
    const QString expected = qEnvironmentVariable("XDG_CONFIG_HOME") + "/oribeko/Quillode.conf";
    EXPECT_EQ(QtKeyStore().filePath(), expected);
    EXPECT_EQ(
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "oribeko", "Quillode").fileName(),
        expected);
}

TEST_F(SettingsFile, FirstRunGivesDefaultsAndCloseWritesTwentyTextValues)
{
    QtKeyStore store(storePath());
    MainState state = startState();
    loadSettings(store, state);
    EXPECT_EQ(storedFields(state), storedFields(startState()));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("oribeko")));

    FakeMessages messages;
    saveSettings(store, state, 10, "Noto Sans CJK JP", messages);
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(entries(dir.filePath("oribeko")), QStringList{"Quillode.conf"});

    state.EditorFontFace = "Noto Sans CJK JP";
    const std::vector<std::string> expected = storedFields(state);
    QSettings file(storePath(), QSettings::IniFormat);
    QStringList keys = file.allKeys();
    QStringList names = settingNames();
    keys.sort();
    names.sort();
    EXPECT_EQ(toStd(keys), toStd(names));
    for (int i = 0; i < settingNames().size(); ++i) {
        const QVariant value = file.value(settingNames()[i]);
        EXPECT_EQ(value.typeId(), QMetaType::QString) << settingNames()[i].toStdString();
        EXPECT_EQ(value.toString().toStdString(), expected[i]) << settingNames()[i].toStdString();
    }
}

TEST_F(KeyStoreFile, OddValuesComeBackExactly)
{
    const QStringList values{"日本語の日記（テスト）",
                             "say \"hi\"",
                             "a,b",
                             "a, b,",
                             ",",
                             "x;y",
                             "#not a comment",
                             ";not a comment",
                             "@at",
                             "@@two",
                             "@ByteArray(x)",
                             "@Invalid()",
                             "@Rect(1 2 3 4)",
                             "back\\slash\\",
                             "\\n",
                             "  both ends  ",
                             "\ttab\t",
                             " ",
                             "<a href=\"x.html\">&amp;&lt;</a>",
                             "line 1\r\nline 2\r\n",
                             "\r\n",
                             "=eq=",
                             "[General]",
                             "key=value",
                             "%41%",
                             "",
                             "<p>😀</p>",
                             "/home/u/𠮷野家.html",
                             QString(QChar(0xD800)) + "F",
                             QString(QChar(0xDE00)) + QChar(0xD83D),
                             QString("\x01"
                                     "F\x7F"
                                     "1\x1b[0m"),
                             QString("あ<\"日,;#@\\\r\n記>&").repeated(8 * 1024)};
    {
        QtKeyStore store(storePath());
        ASSERT_TRUE(store.openOrCreate());
        for (int i = 0; i < values.size(); ++i)
            store.write(QString("V%1").arg(i), values[i]);
        store.write("名前 with space", "named");
        ASSERT_TRUE(store.commit());
        store.close();
    }
    QtKeyStore store(storePath());
    ASSERT_TRUE(store.open());
    EXPECT_EQ(store.read("名前 with space").text, "named");
    QSettings file(storePath(), QSettings::IniFormat);
    for (int i = 0; i < values.size(); ++i) {
        SCOPED_TRACE(values[i].left(40).toStdString());
        const KeyStore::Value value = store.read(QString("V%1").arg(i));
        EXPECT_EQ(value.status, Status::Text);
        EXPECT_EQ(value.text, values[i]);
        // What QSettings itself reads from the file, as any other reader of it would.
        EXPECT_EQ(file.value(QString("V%1").arg(i)), QVariant(values[i]));
    }
}

TEST_F(KeyStoreFile, HandEditedValueKinds)
{
    struct Case {
        QByteArray file;
        Status status;
        QString text;
    };
    const Case cases[] = {
        // Typed values as QSettings writes them.
        {"[General]\nV=@ByteArray(xy)\n", Status::WrongKind, ""},
        {"[General]\nV=@Variant(\\0\\0\\0\\x2)\n", Status::WrongKind, ""},
        {"[General]\nV=@Rect(1 2 3 4)\n", Status::WrongKind, ""},
        {"[General]\nV=@ByteArray()\n", Status::Text, ""},
        {"[General]\nV=@Invalid()\n", Status::Text, ""},
        {"[General]\nV=@@x\n", Status::Text, "@x"},
        {"[General]\nV=@Rect(1 2)\n", Status::Text, "@Rect(1 2)"},
        // Texts as QSettings and the program write them.
        {"[General]\nV=\"a,b\"\n", Status::Text, "a,b"},
        {"[General]\nV=\" <a href=\\\"x\\\">\\r\\n\"\n", Status::Text, " <a href=\"x\">\r\n"},
        {"[General]\nV=\"C:\\\\diary\\x1b\\x41\\101\\0\"\n", Status::Text,
         QString("C:\\diary\x1b\x41\x41") + QChar(0)},
        {"[General]\nV=\xe6\x97\xa5\xf0\xa0\xae\xb7\n", Status::Text, "日𠮷"},
        // Anything else is the text after '=' as it stands.
        {"[General]\nV=a,b\n", Status::Text, "a,b"},
        {"[General]\nV=\"a\",\"b\"\n", Status::Text, "\"a\",\"b\""},
        {"[General]\nV=<DIV STYLE=\"margin-left:20pt;\">\n", Status::Text,
         "<DIV STYLE=\"margin-left:20pt;\">"},
        {"[General]\nV=/x/a;b.htm\n", Status::Text, "/x/a;b.htm"},
        {"[General]\nV=\"unclosed\n", Status::Text, "\"unclosed"},
        {"[General]\nV=\"end\\\"\n", Status::Text, "\"end\\\""},
        {"[General]\nV=C:\\diary\n", Status::Text, "C:\\diary"},
        // A backslash is an escape only in the quoted form; a malformed escape is typed by hand.
        {"[General]\nV=C:\\new\\a.htm\n", Status::Text, "C:\\new\\a.htm"},
        {"[General]\nV=価格\\1000円\n", Status::Text, "価格\\1000円"},
        {"[General]\nV=C:\\\\diary\\x1b\n", Status::Text, "C:\\\\diary\\x1b"},
        {"[General]\nV=\"a\\xq\"\n", Status::Text, "\"a\\xq\""},
        {"[General]\nV=\"a\\x\"\n", Status::Text, "\"a\\x\""},
        {"[General]\nV=\"\\x1F600\"\n", Status::Text, "\"\\x1F600\""},
        {"[General]\nV=\"a\\qb\"\n", Status::Text, "\"a\\qb\""},
        // A line that is not UTF-8 is Shift-JIS, whose second bytes include '\\'.
        {"[General]\nV=\x93\xfa\x8b\x4c\n", Status::Text, "日記"},
        {"[General]\nV=\"\x95\x5c\x8e\xa6\\n\"\n", Status::Text, "\"表示\\n\""},
        {"[General]\nV=\x82\xa0\x80\n", Status::Text, QString("あ") + QChar(0xF780)},
        // Lines that mean nothing are passed over; after a broken header nothing is [General].
        {withZeros("[General]\nV=ok\nV=x\0\n"), Status::Text, "ok"},
        {"[General]\nV=a\n[General\nV=b\n", Status::Text, "a"},
        {withZeros("[Gen\0eral]\nV=x\n"), Status::Missing, ""},
        {"[General]\nV=@ByteArray(a,b)\n", Status::Text, "@ByteArray(a,b)"},
        // Where the value is.
        {"[General]\r\nV = two words \r\n", Status::Text, "two words"},
        {"\xef\xbb\xbf[General]\r\nV=bom\r\n", Status::Text, "bom"},
        {"V=before any section\n", Status::Text, "before any section"},
        {"[General]\nV=first\n[Other]\nV=x\n[ general ]\nV=last\nv=case\n", Status::Text, "last"},
        {"[General]\nV=\n", Status::Text, ""},
        {"[General]\nW=x\n; V=comment\n", Status::Missing, ""},
        {"[Other]\nV=x\n", Status::Missing, ""},
        {"[%General]\nV=x\n", Status::Missing, ""},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        const QString path = storePath(QString::number(++n));
        writeFile(path, c.file);
        QtKeyStore store(path);
        ASSERT_TRUE(store.open());
        const KeyStore::Value value = store.read("V");
        EXPECT_EQ(value.status, c.status);
        EXPECT_EQ(value.text, c.text);
    }
}

ino_t inodeOf(const QString& path)
{
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : 0;
}

TEST_F(KeyStoreFile, CommitKeepsEveryOtherLine)
{
    const struct {
        const char* label;
        QByteArray before;
        QByteArray after; // V and W set to "new"
    } cases[] = {
        {"unknown keys, sections and comments",
         "; notes\n[General]\nHand=a,b\nV = old ; kept?\n\n; Other\n[Other]\nV=x\n",
         "; notes\n[General]\nHand=a,b\nV=\"new\"\nW=\"new\"\n\n; Other\n[Other]\nV=x\n"},
        {"CR LF, a byte order mark, no line end at the end", "\xef\xbb\xbf[General]\r\nV=1\r\nX=2",
         "\xef\xbb\xbf[General]\r\nV=\"new\"\r\nX=2\r\nW=\"new\"\r\n"},
        {"the last of two lines of a key", "V=a\n[General]\nV=b\n[x]\n",
         "V=a\n[General]\nV=\"new\"\nW=\"new\"\n[x]\n"},
        {"no section [General]", "[Other]\nV=x",
         "[Other]\nV=x\n\n[General]\nV=\"new\"\nW=\"new\"\n"},
        {"a header without ']'", "[General\nV=1\n",
         "[General\nV=1\n\n[General]\nV=\"new\"\nW=\"new\"\n"},
        {"zero bytes and a header without ']'",
         withZeros("[General]\nV=1\nbin=\0\xff\n[Notes\nW=mine\n"),
         withZeros("[General]\nV=\"new\"\nW=\"new\"\nbin=\0\xff\n[Notes\nW=mine\n")},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const QString path = storePath(QString::number(++n));
        writeFile(path, c.before);
        QtKeyStore store(path);
        ASSERT_TRUE(store.openOrCreate());
        store.write("V", "new");
        store.write("W", "new");
        ASSERT_TRUE(store.commit());
        EXPECT_EQ(readFile(path), c.after);

        // A close that changes nothing leaves the file alone: not even replaced by a copy.
        const ino_t written = inodeOf(path);
        store.write("V", "new");
        ASSERT_TRUE(store.commit());
        EXPECT_EQ(inodeOf(path), written);
        store.write("V", "newer");
        ASSERT_TRUE(store.commit());
        EXPECT_NE(inodeOf(path), written);
    }
}

TEST_F(KeyStoreFile, StoreBehindALinkStaysALink)
{
    const QString target = dir.filePath("dotfiles/Quillode.conf");
    writeFile(target, "[General]\nV=old\n");
    QDir().mkpath(dir.filePath("oribeko"));
    ASSERT_TRUE(QFile::link(target, storePath()));

    QtKeyStore store(storePath());
    ASSERT_TRUE(store.openOrCreate());
    store.write("V", "new");
    ASSERT_TRUE(store.commit());

    EXPECT_TRUE(QFileInfo(storePath()).isSymLink());
    EXPECT_EQ(QSettings(target, QSettings::IniFormat).value("V"), QVariant(QString("new")));
}

TEST_F(SettingsFile, BinaryValueStopsTheLoadAndTheNextSaveRepairsIt)
{
    writeFile(storePath(), "[General]\nHtmlDate1=one\nHtmlDate2=two\nHtmlSky1=@ByteArray(ab)\n"
                           "HtmlSky2=three\n"
                           "LoadLog=/x.html\nNewProcessFlag=F\n");
    QtKeyStore store(storePath());
    MainState state = startState();
    try {
        loadSettings(store, state);
        ADD_FAILURE() << "no error";
    } catch (const AppError& error) {
        EXPECT_EQ(error.text(), "'HtmlSky1' のデータ型が不正です");
    }
    std::vector<std::string> expected = storedFields(startState());
    expected[0] = "one";
    expected[1] = "two";
    EXPECT_EQ(storedFields(state), expected);

    FakeMessages messages;
    saveSettings(store, state, 10, "", messages);
    MainState reloaded = startState();
    EXPECT_NO_THROW(loadSettings(store, reloaded));
    EXPECT_EQ(storedFields(reloaded), expected);
}

// A damaged file reads as a file with none of the program's values (an empty one as none at all).
TEST_F(SettingsFile, DamagedFilesLoadDefaultsAndKeepTheirBytesAtClose)
{
    writeFile(storePath("reference"), "; none of the values\n");
    const std::vector<std::string> noValues = storedFields(load(storePath("reference")));
    const struct {
        const char* label;
        QByteArray bytes;
    } cases[] = {
        {"empty", {}},
        {"broken section header", "[General\nHtmlDate1=x\n"},
        {"binary junk", junk(64 * 1024)},
        {"50 MB of garbage", junk(50 * 1024 * 1024)},
        {"50 MB of text garbage", textJunk(50 * 1024 * 1024)},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const QString path = storePath(QString::number(++n));
        writeFile(path, c.bytes);
        QElapsedTimer timer;
        timer.start();
        MainState state;
        EXPECT_NO_THROW(state = load(path));
        EXPECT_LT(timer.elapsed(), 60'000);
        EXPECT_EQ(storedFields(state), c.bytes.isEmpty() ? storedFields(startState()) : noValues);

        FakeMessages messages;
        save(path, sampleState(), messages);
        EXPECT_TRUE(messages.shown.isEmpty());
        const QByteArray saved = readFile(path);
        EXPECT_LT(saved.size() - c.bytes.size(), 4096);
        EXPECT_TRUE(onlyInserted(c.bytes, saved));
        EXPECT_EQ(storedFields(load(path)), toStd(sampleTexts()));
    }
}

TEST_F(SettingsFile, TruncatedFileNeverStopsTheLoad)
{
    MainState saved = sampleState();
    saved.Html.HtmlSky1 = "a,b";
    saved.Html.HtmlSky2 = "\"q\"";
    saved.Html.HtmlMain1 = "<p>\r\n";
    saved.Html.HtmlMain2 = "@x;#y\\";
    FakeMessages messages;
    save(storePath(), saved, messages);
    const QByteArray whole = readFile(storePath());
    ASSERT_GT(whole.size(), 300);

    for (qsizetype cut = 0; cut < whole.size(); ++cut) {
        SCOPED_TRACE(cut);
        const QString path = storePath(QString("cut%1").arg(cut));
        writeFile(path, whole.left(cut));
        MainState state;
        ASSERT_NO_THROW(state = load(path));
        // The rule that an empty fragment leaves the default holds whatever the file lost.
        const std::vector<std::string> fields = storedFields(state);
        for (int i = 0; i < 12; ++i)
            EXPECT_FALSE(fields[i].empty()) << i;
    }
}

TEST_F(SettingsFile, FailedWriteKeepsTheOldFile)
{
    // Files may grow no further than the limit, as on a full disk; root is held to it too. A
    // short new file fails when it is flushed, a long one while it is written.
    const struct {
        qsizetype fragment;
        rlim_t limit;
    } cases[] = {{2 * 1024, 1024}, {100 * 1024, 16 * 1024}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fragment);
        const QString path = storePath(QString::number(c.fragment));
        FakeMessages messages;
        save(path, sampleState(), messages);
        const QByteArray old = readFile(path);
        ASSERT_LT(old.size(), qsizetype(c.limit));

        MainState bigger = sampleState();
        bigger.Html.HtmlMain1 = QString(c.fragment, u'x');
        messages.answer({MsgAnswer::Ok});
        rlimit saved{};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit limited = saved;
        limited.rlim_cur = c.limit;
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
        save(path, bigger, messages);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);

        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_EQ(messages.shown.front().text, "レジストリに書き込めませんでした。");
        EXPECT_EQ(readFile(path), old);
        EXPECT_EQ(entries(QFileInfo(path).path()), QStringList{"Quillode.conf"});
        EXPECT_EQ(storedFields(load(path)), toStd(sampleTexts()));
    }
}

TEST_F(SettingsFile, UncreatableFolderSavesNothingAndSaysNothing)
{
    writeFile(dir.filePath("blocker"), "a file, not a folder");
    const QByteArray previous = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", dir.filePath("blocker/config").toLocal8Bit());
    QtKeyStore store; // the program's own store, under the folder that cannot be made
    qputenv("XDG_CONFIG_HOME", previous);
    ASSERT_TRUE(store.filePath().startsWith(dir.filePath("blocker/")));

    FakeMessages messages;
    saveSettings(store, sampleState(), 10, "Sans", messages);
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(readFile(dir.filePath("blocker")), "a file, not a folder");
    EXPECT_EQ(entries(dir.path()), QStringList{"blocker"});
}

TEST_F(KeyStoreFile, ValueReadAsTheTextSetKeepsItsLine)
{
    const struct {
        QByteArray line;
        QString text;
        QByteArray written; // the line after the commit
    } cases[] = {
        {"V=\x93\xfa\x8b\x4c", "日記", "V=\x93\xfa\x8b\x4c"},
        {"V=C:\\new\\a.htm", "C:\\new\\a.htm", "V=C:\\new\\a.htm"},
        {"V = \"a\\x41\" ", "aA", "V = \"a\\x41\" "},
        {"V=\x93\xfa\x8b\x4c", "日記\\", "V=\"日記\\\\\""},
        {"V=C:\\new\\a.htm", "C:\new\a.htm", "V=\"C:\\new\\a.htm\""},
        {"V=@ByteArray(x)", "", "V=\"\""},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.written.toStdString());
        const QString path = storePath(QString::number(++n));
        writeFile(path, "; mine\n[General]\n" + c.line + "\r\n[Other]\n");
        QtKeyStore store(path);
        ASSERT_TRUE(store.openOrCreate());
        store.write("V", c.text);
        ASSERT_TRUE(store.commit());
        EXPECT_EQ(readFile(path), "; mine\n[General]\n" + c.written + "\r\n[Other]\n");
        ASSERT_TRUE(store.open());
        EXPECT_EQ(store.read("V").text, c.text);
    }
}

// The writer's file as a close finds it: comments, keys and sections of the writer's own, a
// section header that lost its ']', zero bytes, paths typed with backslashes, Shift-JIS.
TEST_F(SettingsFile, CloseKeepsAHandEditedFile)
{
    const QByteArray general = "; 日記の設定\r\n[General]\r\nHtmlSky6=C:\\new\\a.htm\r\n"
                               "HtmlMain1=価格\\1000円\r\nHtmlDate1=\x93\xfa\x95\x74\r\n"
                               "Mine=keep\\me\r\n";
    const QByteArray notes =
        withZeros("[Notes\r\nHtmlDate2=mine\r\nbin=\0\xff\r\n[Mine]\r\nx=1\r\n");
    writeFile(storePath(), general + notes);

    const MainState loaded = load(storePath());
    EXPECT_EQ(loaded.Html.HtmlSky6, "C:\\new\\a.htm");
    EXPECT_EQ(loaded.Html.HtmlMain1, "価格\\1000円");
    EXPECT_EQ(loaded.Html.HtmlDate1, "日付");
    EXPECT_EQ(loaded.Html.HtmlDate2, startState().Html.HtmlDate2);

    FakeMessages messages;
    save(storePath(), loaded, messages);
    EXPECT_TRUE(messages.shown.isEmpty());
    const QByteArray saved = readFile(storePath());
    EXPECT_TRUE(saved.startsWith(general)) << saved.toStdString();
    EXPECT_TRUE(saved.endsWith(notes)) << saved.toStdString();
    EXPECT_EQ(storedFields(load(storePath())), storedFields(loaded));
}

// Root reads any file, so the user "nobody" closes the program over a file it may write but
// not read.
TEST_F(SettingsFile, CloseNeverWritesOverAFileItCannotRead)
{
    constexpr uid_t nobody = 65534;
    const QByteArray old = "[General]\nHtmlDate1=mine\n[Mine]\nx=1\n";
    writeFile(storePath(), old);
    for (const QString& path : {dir.path(), dir.filePath("oribeko"), storePath()})
        ASSERT_EQ(chown(QFile::encodeName(path).constData(), nobody, nobody), 0);
    ASSERT_TRUE(QFile::setPermissions(storePath(), QFile::WriteOwner));

    const pid_t pid = fork();
    if (pid == 0) {
        if (setgroups(0, nullptr) != 0 || setgid(nobody) != 0 || setuid(nobody) != 0)
            _exit(2);
        FakeMessages messages;
        messages.answer({MsgAnswer::Ok});
        save(storePath(), sampleState(), messages);
        const bool told = messages.shown.size() == 1
                          && messages.shown.front().text == "レジストリに書き込めませんでした。";
        _exit(told ? 0 : 1);
    }
    int status = -1;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(readFile(storePath()), old);
    EXPECT_EQ(entries(dir.filePath("oribeko")), QStringList{"Quillode.conf"});
}
