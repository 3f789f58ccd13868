#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

// Tells when the file at a path may have changed on the disk: written in place, replaced by
// another file renamed over it (as editors, sync tools and this program's own saves do), removed
// or renamed away. It watches the file and its folder, and after a replace the new file. A burst
// of changes (a write, a rename, a time set) is told once, a moment after it ends. What changed,
// if anything, is for the listener to find out: a folder's change may be another file's.
class DiskWatch : public QObject {
    Q_OBJECT
public:
    explicit DiskWatch(QObject* parent = nullptr);

    // Watches the file at path from now on, and nothing else; an empty path: nothing.
    void watch(const QString& path);
    // Tells again a moment later what was not looked at yet (while a modal window was open).
    void tellLater() { settle_.start(); }

signals:
    // fileItself: the file was written, replaced or removed, not only something in its folder.
    void touched(bool fileItself);

private:
    void fileEvent();
    void folderEvent();
    void rearm();
    void tell();

    QFileSystemWatcher watcher_;
    QTimer settle_;
    QString path_;
    bool fileItself_ = false;
};
