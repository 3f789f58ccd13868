#include "storage/StateFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr mode_t ownerOnlyFolder = 0700;

} // namespace

QString stateFolder()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/pelmora");
}

bool makeStateFolder(const QString& folder)
{
    const QByteArray path = QFile::encodeName(folder);
    if (!QDir().mkpath(QFileInfo(folder).path()))
        return false;
    if (::mkdir(path.constData(), ownerOnlyFolder) != 0 && errno != EEXIST)
        return false;
    struct stat made {};
    if (::stat(path.constData(), &made) != 0 || !S_ISDIR(made.st_mode))
        return false;
    // A folder made by an older version, or by hand, is closed too where it is the writer's.
    if ((made.st_mode & 07777) != ownerOnlyFolder && made.st_uid == ::geteuid())
        ::chmod(path.constData(), ownerOnlyFolder);
    return true;
}
