#pragma once

#include <QLockFile>
#include <QString>

#include <memory>
#include <mutex>
#include <vector>

namespace recovery {

struct RecoveryData;

// A recovery file left by an instance that is gone, claimed (locked) by this instance while it
// is offered, so that no other instance offers it at the same time. Dropping it unclaims it.
struct Leftover {
    QString path;
    std::unique_ptr<QLockFile> lock;
};

// The recovery files of one folder. Each running instance has a file of its own, named at
// random and guarded by a lock file beside it for as long as the file exists; a file whose
// lock has no living owner was left by an instance that did not close normally. The methods
// may be called from two threads.
class RecoveryStore {
public:
    explicit RecoveryStore(const QString& folder);

    QString ownPath() const { return ownPath_; }

    // Replaces this instance's file whole (written beside it, synced, renamed into place) or
    // leaves it as it was; false when that failed. Each write or removal names the moment of
    // the data by a generation: data older than what the file already had is dropped, so a slow
    // write can never put back what a later save or removal replaced.
    bool write(const RecoveryData& data, quint64 generation);
    // Removes this instance's file unless something newer than the generation was written.
    void remove(quint64 generation);
    // Removes this instance's file and its lock.
    void remove();
    // Removes the folder itself when nothing else is left in it.
    void removeFolderIfEmpty();

    // The files of instances that are gone, newest first, each claimed by this instance.
    std::vector<Leftover> claimLeftovers();
    // Makes a claimed leftover this instance's own file. False when it could not be moved.
    bool adopt(Leftover& leftover);
    // Deletes a claimed leftover.
    void discard(Leftover& leftover);
    // Moves a claimed leftover that cannot be read into the folder's "damaged" folder, out of
    // the way of later starts; its new path, or empty when it could not be moved.
    QString moveAside(Leftover& leftover);

private:
    bool lockOwn();
    void removeOrphanLocks();

    std::mutex mutex_;
    const QString folder_;
    const QString ownPath_;
    QLockFile ownLock_;
    quint64 generation_ = 0; // of the newest data written or removed
};

} // namespace recovery
