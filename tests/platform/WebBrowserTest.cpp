#include "platform/WebBrowser.h"
#include "platform/QtPlatform.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <utility>

namespace {

const QUrl diary = QUrl::fromLocalFile(QStringLiteral("/home/w/日記 1.htm"));

struct ExecCase {
    const char* exec;
    QStringList expected;
};

TEST(WebBrowser, ExecLinesGiveTheirArgumentsWithTheFieldCodesFilledIn)
{
    const QString url = diary.toString();
    const QString file = diary.toLocalFile();
    const ExecCase cases[] = {
        {"firefox-esr %u", {"firefox-esr", url}},
        {R"("/opt/my browser/run" --title "%u \"x\"" %U)",
         {"/opt/my browser/run", "--title", R"(%u "x")", url}},
        {"chromium %F --zoom=100%%", {"chromium", file, "--zoom=100%"}},
        {"browser", {"browser", url}},
        {"app %i --class=%c:%k %d %u", {"app", "--icon", "web", "--class=Web:/e.desktop", url}},
        {"app \"unclosed %u", {}},
        {"  ", {}},
    };
    for (const auto& [exec, expected] : cases)
        EXPECT_EQ(execArguments(QString::fromUtf8(exec), diary, "Web", "web", "/e.desktop"),
                  expected)
            << exec;
}

// A desktop of its own in a temporary folder: settings, installed entries, and programs on the
// path that are scripts writing their arguments to "<name>.args".
class BrowserDesktop {
public:
    BrowserDesktop()
    {
        for (const char* folder : {"config", "etc", "data/applications", "usr/applications", "bin"})
            QDir(root.path()).mkpath(QLatin1String(folder));
        env.insert(QStringLiteral("HOME"), root.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), path("config"));
        env.insert(QStringLiteral("XDG_CONFIG_DIRS"), path("etc"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), path("data"));
        env.insert(QStringLiteral("XDG_DATA_DIRS"), path("usr"));
        env.insert(QStringLiteral("PATH"), path("bin"));
    }
    QString path(const char* name) const { return root.filePath(QLatin1String(name)); }
    void write(const char* name, const QByteArray& text) const
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    // An entry in the system's applications that starts `exec`.
    void entry(const char* id, const QByteArray& exec) const
    {
        write(QByteArray("usr/applications/").append(id).constData(),
              "[Desktop Entry]\nType=Application\nName=B\nExec=" + exec + "\n");
    }
    void program(const char* name) const
    {
        const QString script = path("bin/") + QLatin1String(name);
        write(QByteArray("bin/").append(name).constData(),
              "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + script.toUtf8() + ".args.tmp\"\nmv \""
                  + script.toUtf8() + ".args.tmp\" \"" + script.toUtf8() + ".args\"\n");
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QTemporaryDir root;
    QProcessEnvironment env;
};

struct FindCase {
    const char* name;
    std::function<void(BrowserDesktop&)> setUp;
    const char* program; // in bin/, or nullptr for none
    QStringList arguments;
};

TEST(WebBrowser, FindsTheDesktopsBrowserAndNeverThisEditor)
{
    const QString url = diary.toString();
    const QByteArray pelmoraDefaultForHtml =
        "[Default Applications]\ntext/html=io.github.pelmora.Pelmora.desktop\n";
    auto withPelmora = [](BrowserDesktop& d) {
        d.entry("io.github.pelmora.Pelmora.desktop", "pelmora %f");
        d.program("pelmora");
        d.program("browser");
        d.program("xdg-open");
    };
    const FindCase cases[] = {
        {"the http handler, though the editor handles HTML files",
         [&](BrowserDesktop& d) {
             withPelmora(d);
             d.entry("web.desktop", d.path("bin/browser").toUtf8() + " --new-tab %u");
             d.write("config/mimeapps.list",
                     pelmoraDefaultForHtml + "x-scheme-handler/http=gone.desktop;web.desktop;\n");
         },
         "browser",
         {"--new-tab", url}},
        {"the writer's choice before the system's choice for the desktop",
         [&](BrowserDesktop& d) {
             withPelmora(d);
             d.program("other");
             d.entry("web.desktop", "browser %u");
             d.entry("other.desktop", "other %u");
             d.env.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("ubuntu:GNOME"));
             d.write("config/mimeapps.list",
                     "[Default Applications]\nx-scheme-handler/http=web.desktop\n");
             d.write("etc/gnome-mimeapps.list",
                     "[Default Applications]\nx-scheme-handler/http=other.desktop\n");
         },
         "browser",
         {url}},
        {"an installed browser when the default is the editor under another name",
         [&](BrowserDesktop& d) {
             withPelmora(d);
             d.entry("mine.desktop", "pelmora %u");
             d.entry("web.desktop", "browser %U");
             d.write("config/mimeapps.list",
                     "[Default Applications]\nx-scheme-handler/http=mine.desktop\n");
             d.write("usr/applications/mimeinfo.cache",
                     "[MIME Cache]\nx-scheme-handler/http=mine.desktop;web.desktop;\n");
         },
         "browser",
         {url}},
        {"$BROWSER when no handler is named",
         [&](BrowserDesktop& d) {
             withPelmora(d);
             d.env.insert(QStringLiteral("BROWSER"),
                          QStringLiteral("missing:pelmora:browser --private %s"));
         },
         "browser",
         {"--private", url}},
        {"not xdg-open when the editor is the only handler of HTML files",
         [&](BrowserDesktop& d) {
             withPelmora(d);
             d.write("usr/applications/mimeinfo.cache",
                     "[MIME Cache]\ntext/html=io.github.pelmora.Pelmora.desktop;\n");
         },
         nullptr,
         {}},
        {"xdg-open when nothing is known to handle HTML files", withPelmora, "xdg-open", {url}},
        {"not x-www-browser when it is the editor",
         [&](BrowserDesktop& d) {
             d.program("pelmora");
             QFile::link(d.path("bin/pelmora"), d.path("bin/x-www-browser"));
         },
         nullptr,
         {}},
    };
    for (const FindCase& c : cases) {
        BrowserDesktop desktop;
        c.setUp(desktop);
        const auto launch = findWebBrowser(diary, desktop.env, QStringLiteral("/opt/x/pelmora"));
        ASSERT_EQ(launch.has_value(), c.program != nullptr) << c.name;
        if (!launch)
            continue;
        EXPECT_EQ(launch->program, desktop.path("bin/") + QLatin1String(c.program)) << c.name;
        EXPECT_EQ(launch->arguments, c.arguments) << c.name;
    }
}

// The menu's "open in browser" starts the browser the desktop names, with the diary's address.
TEST(QtSystem, OpensTheDiaryInTheDesktopsWebBrowser)
{
    BrowserDesktop desktop;
    desktop.program("browser");
    desktop.entry("web.desktop", desktop.path("bin/browser").toUtf8() + " %u");
    desktop.write("config/mimeapps.list",
                  "[Default Applications]\nx-scheme-handler/http=web.desktop\n");
    QList<std::pair<QByteArray, QByteArray>> kept;
    for (const char* name :
         {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_HOME", "XDG_DATA_DIRS"}) {
        kept.append({name, qgetenv(name)});
        qputenv(name, desktop.env.value(QLatin1String(name)).toUtf8());
    }
    QtSystem system([](const QString&) { return QString(); });
    const bool opened = system.openInBrowser(QStringLiteral("/home/w/日記 1.htm"));
    for (const auto& [name, value] : kept)
        value.isNull() ? qunsetenv(name) : qputenv(name, value);
    ASSERT_TRUE(opened);
    QFile args(desktop.path("bin/browser.args"));
    QTRY_VERIFY_WITH_TIMEOUT(args.exists(), 10000);
    ASSERT_TRUE(args.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(args.readAll()), diary.toString() + u'\n');
}

} // namespace
