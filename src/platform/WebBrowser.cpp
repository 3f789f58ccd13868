#include "platform/WebBrowser.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QStandardPaths>

namespace {

const QString ownEntryId = QStringLiteral("io.github.pelmora.Pelmora.desktop");
const QString httpType = QStringLiteral("x-scheme-handler/http");
const QString htmlType = QStringLiteral("text/html");

// The groups of a desktop entry or a mimeapps.list file: group -> key -> value, the values as
// they stand after "=" with the file format's escapes (\s \n \t \r \\) undone.
using Groups = QHash<QString, QHash<QString, QString>>;

QString unescapeValue(const QString& raw)
{
    QString value;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] != u'\\' || i + 1 == raw.size()) {
            value += raw[i];
            continue;
        }
        const QChar next = raw[++i];
        switch (next.unicode()) {
        case 's': value += u' '; break;
        case 'n': value += u'\n'; break;
        case 't': value += u'\t'; break;
        case 'r': value += u'\r'; break;
        case '\\': value += u'\\'; break;
        default: value += u'\\' + QString(next); break; // the Exec line's own escapes
        }
    }
    return value;
}

Groups readGroups(const QString& path)
{
    Groups groups;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return groups;
    QString group;
    for (const QByteArray& bytes : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(bytes).trimmed();
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            group = line.mid(1, line.size() - 2);
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (line.startsWith(u'#') || equals <= 0)
            continue;
        QHash<QString, QString>& keys = groups[group];
        const QString key = line.left(equals).trimmed();
        if (!keys.contains(key)) // the first of a key that is there twice
            keys.insert(key, line.mid(equals + 1).trimmed());
    }
    return groups;
}

QStringList idList(const QString& value)
{
    return value.split(u';', Qt::SkipEmptyParts);
}

QStringList pathList(const QProcessEnvironment& env, const char* name, const QString& fallback)
{
    const QString value = env.value(QLatin1String(name));
    return (value.isEmpty() ? fallback : value).split(u':', Qt::SkipEmptyParts);
}

QString homeFolder(const QProcessEnvironment& env, const char* name, const QString& underHome)
{
    const QString value = env.value(QLatin1String(name));
    return value.isEmpty() ? env.value(QStringLiteral("HOME")) + underHome : value;
}

// Where a desktop looks for its entries and its choices of applications.
struct XdgFolders {
    QStringList data;     // the writer's own first
    QStringList mimeapps; // the mimeapps.list files, the one that decides first
};

XdgFolders xdgFolders(const QProcessEnvironment& env)
{
    XdgFolders folders;
    folders.data << homeFolder(env, "XDG_DATA_HOME", QStringLiteral("/.local/share"))
                 << pathList(env, "XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share"));
    QStringList config{homeFolder(env, "XDG_CONFIG_HOME", QStringLiteral("/.config"))};
    config << pathList(env, "XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg"));
    QStringList applications;
    for (const QString& folder : std::as_const(folders.data))
        applications << folder + QStringLiteral("/applications");
    QStringList desktops;
    for (const QString& desktop : pathList(env, "XDG_CURRENT_DESKTOP", {}))
        desktops << desktop.toLower() + QStringLiteral("-mimeapps.list");
    desktops << QStringLiteral("mimeapps.list");
    for (const QStringList& list : {config, applications}) {
        for (const QString& folder : list) {
            for (const QString& name : std::as_const(desktops))
                folders.mimeapps << folder + u'/' + name;
        }
    }
    return folders;
}

// An installed entry that can start a program.
struct Entry {
    QString file;
    QString exec;
    QString name;
    QString icon;
};

std::optional<Entry> findEntry(const XdgFolders& folders, const QString& id)
{
    if (id.contains(u'/') || !id.endsWith(QStringLiteral(".desktop")))
        return std::nullopt;
    for (const QString& folder : folders.data) {
        const QString file = folder + QStringLiteral("/applications/") + id;
        if (!QFileInfo(file).isFile())
            continue;
        const QHash<QString, QString> keys =
            readGroups(file).value(QStringLiteral("Desktop Entry"));
        if (keys.value(QStringLiteral("Hidden")) == QStringLiteral("true"))
            return std::nullopt;
        return Entry{file, unescapeValue(keys.value(QStringLiteral("Exec"))),
                     keys.value(QStringLiteral("Name")), keys.value(QStringLiteral("Icon"))};
    }
    return std::nullopt;
}

// Whether the installed program would start this editor, by its name or through a link.
bool startsOwnProgram(const QString& program, const QString& ownProgram)
{
    const QString target = QFileInfo(program).canonicalFilePath();
    return QFileInfo(program).fileName() == QFileInfo(ownProgram).fileName()
           || QFileInfo(target).fileName() == QFileInfo(ownProgram).fileName()
           || (!target.isEmpty() && target == QFileInfo(ownProgram).canonicalFilePath());
}

// The program found on the path, unless it is missing or is this editor.
QString usableProgram(const QString& name, const QStringList& path, const QString& ownProgram)
{
    const QString program = QFileInfo(name).isAbsolute()
                                ? (QFileInfo(name).isExecutable() ? name : QString())
                                : QStandardPaths::findExecutable(name, path);
    if (program.isEmpty() || startsOwnProgram(program, ownProgram))
        return {};
    return program;
}

std::optional<Launch> launchOf(const Entry& entry, const QUrl& url, const QStringList& path,
                               const QString& ownProgram)
{
    QStringList arguments = execArguments(entry.exec, url, entry.name, entry.icon, entry.file);
    if (arguments.isEmpty())
        return std::nullopt;
    const QString program = usableProgram(arguments.takeFirst(), path, ownProgram);
    if (program.isEmpty())
        return std::nullopt;
    return Launch{program, arguments};
}

// The ids the desktop names for a type, the writer's choice (Default Applications) first or,
// with `associations`, the programs that say they open it: Added Associations, then the
// installed entries' own claims (mimeinfo.cache), less the Removed Associations of the files
// that decide before.
QStringList handlerIds(const XdgFolders& folders, const QString& type, bool associations)
{
    QStringList ids;
    QStringList removed;
    for (const QString& path : folders.mimeapps) {
        const Groups groups = readGroups(path);
        if (!associations) {
            ids << idList(groups.value(QStringLiteral("Default Applications")).value(type));
            continue;
        }
        removed << idList(groups.value(QStringLiteral("Removed Associations")).value(type));
        for (const QString& id :
             idList(groups.value(QStringLiteral("Added Associations")).value(type)))
            if (!removed.contains(id))
                ids << id;
    }
    if (associations) {
        for (const QString& folder : folders.data) {
            const Groups cache =
                readGroups(folder + QStringLiteral("/applications/mimeinfo.cache"));
            for (const QString& id : idList(cache.value(QStringLiteral("MIME Cache")).value(type)))
                if (!removed.contains(id))
                    ids << id;
        }
    }
    return ids;
}

std::optional<Launch> firstHandler(const XdgFolders& folders, const QStringList& ids,
                                   const QUrl& url, const QStringList& path,
                                   const QString& ownProgram)
{
    for (const QString& id : ids) {
        if (id == ownEntryId)
            continue;
        if (const std::optional<Entry> entry = findEntry(folders, id)) {
            if (std::optional<Launch> launch = launchOf(*entry, url, path, ownProgram))
                return launch;
        }
    }
    return std::nullopt;
}

// $BROWSER: commands separated by colons, "%s" standing for the address.
std::optional<Launch> fromBrowserVariable(const QProcessEnvironment& env, const QUrl& url,
                                          const QStringList& path, const QString& ownProgram)
{
    for (const QString& command : pathList(env, "BROWSER", {})) {
        QStringList arguments = QProcess::splitCommand(command);
        if (arguments.isEmpty())
            continue;
        const QString program = usableProgram(arguments.takeFirst(), path, ownProgram);
        if (program.isEmpty())
            continue;
        if (!arguments.contains(QStringLiteral("%s")))
            arguments << QStringLiteral("%s");
        arguments.replaceInStrings(QStringLiteral("%s"), url.toString());
        return Launch{program, arguments};
    }
    return std::nullopt;
}

std::optional<Launch> fromPath(const QString& name, const QUrl& url, const QStringList& path,
                               const QString& ownProgram)
{
    const QString program = usableProgram(name, path, ownProgram);
    if (program.isEmpty())
        return std::nullopt;
    return Launch{program, {url.toString()}};
}

} // namespace

QStringList execArguments(const QString& exec, const QUrl& url, const QString& name,
                          const QString& icon, const QString& entryFile)
{
    QStringList arguments;
    bool named = false;
    QString current;
    bool inWord = false;
    bool quoted = false;
    auto endWord = [&] {
        if (!inWord)
            return;
        if (!quoted && (current == QStringLiteral("%f") || current == QStringLiteral("%F"))) {
            arguments << url.toLocalFile();
            named = true;
        } else if (!quoted
                   && (current == QStringLiteral("%u") || current == QStringLiteral("%U"))) {
            arguments << url.toString();
            named = true;
        } else if (!quoted && current == QStringLiteral("%i")) {
            if (!icon.isEmpty())
                arguments << QStringLiteral("--icon") << icon;
        } else if (quoted || !current.isEmpty()) { // a word of retired codes alone is none
            arguments << current;
        }
        current.clear();
        inWord = quoted = false;
    };
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (c == u'"') {
            // A quoted word: \" \` \$ \\ stand for the character; nothing in it is a field code.
            inWord = quoted = true;
            for (++i; i < exec.size() && exec[i] != u'"'; ++i) {
                if (exec[i] == u'\\' && i + 1 < exec.size())
                    ++i;
                current += exec[i];
            }
            if (i == exec.size())
                return {};
        } else if (c == u' ' || c == u'\t') {
            endWord();
        } else if (c == u'%' && i + 1 < exec.size()
                   && !QStringLiteral("fFuUi").contains(exec[i + 1])) {
            // Inside a word: %% is a percent sign, %c and %k the name and the entry's file; the
            // retired codes (%d, %n, %v, %m...) stand for nothing.
            const QChar code = exec[++i];
            inWord = true;
            if (code == u'%')
                current += u'%';
            else if (code == u'c')
                current += name;
            else if (code == u'k')
                current += entryFile;
        } else {
            inWord = true;
            current += c;
        }
    }
    endWord();
    if (arguments.isEmpty())
        return {};
    if (!named)
        arguments << url.toString();
    return arguments;
}

std::optional<Launch> findWebBrowser(const QUrl& url, const QProcessEnvironment& env,
                                     const QString& ownProgram)
{
    const XdgFolders folders = xdgFolders(env);
    const QStringList path = pathList(env, "PATH", QStringLiteral("/usr/bin:/bin"));
    for (bool associations : {false, true}) {
        if (auto launch = firstHandler(folders, handlerIds(folders, httpType, associations), url,
                                       path, ownProgram))
            return launch;
    }
    const QStringList htmlDefaults = handlerIds(folders, htmlType, false);
    if (auto launch = firstHandler(folders, htmlDefaults, url, path, ownProgram))
        return launch;
    if (auto launch = fromBrowserVariable(env, url, path, ownProgram))
        return launch;
    if (auto launch = fromPath(QStringLiteral("x-www-browser"), url, path, ownProgram))
        return launch;
    // xdg-open gives a file to the handler of its type, which may be this editor, or the
    // desktop's idea of it when none is named here.
    const bool htmlHandled =
        !htmlDefaults.isEmpty() || !handlerIds(folders, htmlType, true).isEmpty();
    if (!htmlHandled)
        return fromPath(QStringLiteral("xdg-open"), url, path, ownProgram);
    return std::nullopt;
}

bool openInWebBrowser(const QString& filePath, const QProcessEnvironment& env,
                      const QString& ownProgram)
{
    const QUrl url = QUrl::fromLocalFile(QFileInfo(filePath).absoluteFilePath());
    const std::optional<Launch> launch = findWebBrowser(url, env, ownProgram);
    return launch && QProcess::startDetached(launch->program, launch->arguments);
}
