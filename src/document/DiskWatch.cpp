#include "document/DiskWatch.h"

#include <QFileInfo>

namespace {

// Long enough for a save's write, rename and time setting to end; short enough to seem at once.
constexpr int settleMs = 250;

} // namespace

DiskWatch::DiskWatch(QObject* parent) : QObject(parent)
{
    settle_.setSingleShot(true);
    settle_.setInterval(settleMs);
    connect(&settle_, &QTimer::timeout, this, &DiskWatch::tell);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &DiskWatch::fileEvent);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &DiskWatch::folderEvent);
}

void DiskWatch::watch(const QString& path)
{
    if (!watcher_.files().isEmpty())
        watcher_.removePaths(watcher_.files());
    if (!watcher_.directories().isEmpty())
        watcher_.removePaths(watcher_.directories());
    settle_.stop();
    fileItself_ = false;
    path_ = path;
    if (path_.isEmpty())
        return;
    watcher_.addPath(QFileInfo(path_).absolutePath());
    watcher_.addPath(path_);
}

void DiskWatch::fileEvent()
{
    fileItself_ = true;
    // A file replaced or removed is no longer watched: the new one at the path is.
    if (!watcher_.files().contains(path_))
        watcher_.addPath(path_);
    settle_.start();
}

// A file renamed over the watched one may leave the watch on the old file while another program
// still holds it open; the path is watched anew, whichever file it names now.
void DiskWatch::folderEvent()
{
    rearm();
    settle_.start();
}

void DiskWatch::rearm()
{
    if (watcher_.files().contains(path_))
        watcher_.removePath(path_);
    if (QFileInfo::exists(path_))
        watcher_.addPath(path_);
}

void DiskWatch::tell()
{
    emit touched(std::exchange(fileItself_, false));
}
