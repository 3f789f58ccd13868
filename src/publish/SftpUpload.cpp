#include "publish/SftpUpload.h"

#include "publish/SftpChannel.h"

#include <QFile>

#include <sys/stat.h>

namespace {

// The bytes on their way at once, as OpenSSH's sftp keeps them (64 requests of 32 KB).
constexpr qint64 bytesInFlight = 2 * 1024 * 1024;
// How long the clean-up after a cancel may take before the connection is dropped.
constexpr int cleanUpMilliseconds = 800;

QByteArray pathField(const QString& path)
{
    return sftp::Packer().string(path.toUtf8()).bytes;
}

// What the server holds at a path: nothing, a file with its attributes, or a failure.
struct Found {
    bool exists = false;
    sftp::Attributes attributes;
    std::optional<UploadResult> failure;
};

// One send or look-up over one SFTP session.
class SftpSender {
public:
    SftpSender(const UploadRequest& request, const UploadHooks& hooks);
    UploadResult send();
    UploadResult lookUp();

private:
    std::optional<UploadResult> start();
    void name(const QString& remoteName);
    void makeFolders(const QString& remoteName);
    std::optional<UploadResult> sendFile(const QString& localPath, const QString& remoteName);
    int localPermissions() const;
    Found look(const QString& path);
    std::optional<UploadResult> checkFolder();
    std::optional<UploadResult> repairEarlierSend();
    std::optional<UploadResult> readOnlyKept(const Found& target);
    std::optional<UploadResult> writeTemporary(int permissions);
    std::optional<UploadResult> writeBlocks(const QByteArray& handle);
    std::optional<UploadResult> putInPlace();
    std::optional<UploadResult> rename(const QString& from, const QString& to);
    std::optional<UploadResult> expectOk(quint8 type, const QByteArray& fields);
    UploadResult refusal(const SftpReply& reply);
    bool diskFull();
    void removeTemporary();

    const UploadRequest& request_;
    const UploadHooks& hooks_;
    SftpChannel channel_;
    QFile local_;
    qint64 size_ = 0;
    QString folder_;
    QString target_;
    QString temporary_;
    QString setAside_;
    QStringList madeFolders_;
};

SftpSender::SftpSender(const UploadRequest& request, const UploadHooks& hooks)
    : request_(request), hooks_(hooks), channel_(request, hooks)
{
    const SiteAddress& site = request.site;
    folder_ = site.folder.isEmpty() ? QStringLiteral(".") : site.folder;
    name(site.fileName);
}

// The file's names on the site: its own, the temporary one and the one set aside, in its folder.
void SftpSender::name(const QString& remoteName)
{
    const qsizetype slash = remoteName.lastIndexOf(u'/') + 1;
    const QString hidden = remoteName.left(slash) + u'.' + remoteName.mid(slash);
    target_ = remotePath(request_.site, remoteName);
    temporary_ = remotePath(request_.site, hidden + QStringLiteral(".pelmora-upload"));
    setAside_ = remotePath(request_.site, hidden + QStringLiteral(".pelmora-old"));
}

// Makes the folders of a name under the site's folder that this send has not made yet; one that
// is there already answers with a failure, which is no failure here.
void SftpSender::makeFolders(const QString& remoteName)
{
    for (qsizetype slash = remoteName.indexOf(u'/'); slash > 0;
         slash = remoteName.indexOf(u'/', slash + 1)) {
        const QString folder = remoteName.left(slash);
        if (madeFolders_.contains(folder))
            continue;
        madeFolders_.append(folder);
        channel_.call(sftp::Mkdir,
                      pathField(remotePath(request_.site, folder)) + sftp::Packer().u32(0).bytes);
    }
}

std::optional<UploadResult> SftpSender::start()
{
    if (const std::optional<UploadResult> failure = channel_.open())
        return failure;
    return checkFolder();
}

UploadResult SftpSender::lookUp()
{
    if (const std::optional<UploadResult> failure = start())
        return *failure;
    const Found found = look(target_);
    if (found.failure)
        return *found.failure;
    UploadResult result(UploadOutcome::LookedUp);
    result.remote = {found.exists, found.attributes.size, found.attributes.modified};
    return result;
}

// The linked files, then the diary, over the one session; the first failure ends the send.
UploadResult SftpSender::send()
{
    if (const std::optional<UploadResult> failure = start())
        return *failure;
    return sendLinkedFilesThenDiary(
        request_, hooks_,
        [this](const QString& local, const QString& remote) { return sendFile(local, remote); });
}

std::optional<UploadResult> SftpSender::sendFile(const QString& localPath,
                                                 const QString& remoteName)
{
    if (hooks_.cancelled && hooks_.cancelled->load())
        return UploadResult(UploadOutcome::Cancelled);
    local_.close();
    local_.setFileName(localPath);
    if (!local_.open(QIODevice::ReadOnly))
        return UploadResult{UploadOutcome::LocalFileUnreadable, local_.errorString()};
    size_ = local_.size();
    name(remoteName);
    makeFolders(remoteName);
    if (const std::optional<UploadResult> failure = repairEarlierSend())
        return failure;
    const Found target = look(target_);
    if (target.failure)
        return target.failure;
    if (const std::optional<UploadResult> kept = readOnlyKept(target))
        return kept;
    // A file replaced keeps its mode; a new one gets the local file's own, as sftp's put gives it.
    const int permissions = target.exists && target.attributes.permissions >= 0
                                ? target.attributes.permissions
                                : localPermissions();
    if (std::optional<UploadResult> failure = writeTemporary(permissions)) {
        removeTemporary();
        return failure;
    }
    return putInPlace();
}

int SftpSender::localPermissions() const
{
    struct stat status {};
    return ::fstat(local_.handle(), &status) == 0 ? int(status.st_mode & 0777) : 0644;
}

Found SftpSender::look(const QString& path)
{
    Found found;
    const std::optional<SftpReply> reply = channel_.call(sftp::Stat, pathField(path));
    if (!reply) {
        found.failure = channel_.ended();
    } else if (reply->type == sftp::Attrs) {
        sftp::Unpacker reader(reply->body);
        found.exists = true;
        found.attributes = sftp::readAttributes(reader);
    } else if (reply->code() != sftp::NoSuchFile) {
        found.failure = refusal(*reply);
    }
    return found;
}

// The site's folder must be there: the send makes no folder the writer did not.
std::optional<UploadResult> SftpSender::checkFolder()
{
    const Found folder = look(folder_);
    if (folder.failure)
        return folder.failure;
    if (!folder.exists)
        return UploadResult(UploadOutcome::FolderMissing);
    return std::nullopt;
}

// A send that stopped between its two renames (on a server without an atomic replace) left the
// old diary set aside: it goes back in place when the diary's name is empty, and is removed
// when that holds a whole diary.
std::optional<UploadResult> SftpSender::repairEarlierSend()
{
    const Found aside = look(setAside_);
    if (aside.failure || !aside.exists)
        return aside.failure;
    const Found target = look(target_);
    if (target.failure)
        return target.failure;
    if (target.exists)
        return expectOk(sftp::Remove, pathField(setAside_));
    return rename(setAside_, target_);
}

std::optional<UploadResult> SftpSender::readOnlyKept(const Found& target)
{
    if (!target.exists || target.attributes.permissions < 0
        || (target.attributes.permissions & 0200) != 0)
        return std::nullopt;
    if (hooks_.replaceReadOnly && hooks_.replaceReadOnly(target_))
        return std::nullopt;
    return UploadResult(UploadOutcome::ReadOnlyKept);
}

// Writes the diary to the temporary name, synced and given its mode, and checks that the
// server holds all of it.
std::optional<UploadResult> SftpSender::writeTemporary(int permissions)
{
    const QByteArray flags = sftp::Packer()
                                 .u32(sftp::WriteFlag | sftp::Create | sftp::Truncate)
                                 .u32(sftp::Permissions)
                                 .u32(0600)
                                 .bytes;
    const std::optional<SftpReply> opened =
        channel_.call(sftp::Open, pathField(temporary_) + flags);
    if (!opened)
        return channel_.ended();
    if (opened->type != sftp::Handle)
        return refusal(*opened);
    const QByteArray handle = sftp::Packer().string(sftp::Unpacker(opened->body).string()).bytes;
    std::optional<UploadResult> failure = writeBlocks(handle);
    if (!failure && channel_.offers("fsync@openssh.com"))
        failure =
            expectOk(sftp::Extended, sftp::Packer().string("fsync@openssh.com").bytes + handle);
    if (!failure)
        failure = expectOk(
            sftp::Fsetstat,
            handle + sftp::Packer().u32(sftp::Permissions).u32(quint32(permissions)).bytes);
    const std::optional<UploadResult> closed = expectOk(sftp::Close, handle);
    if (failure || closed)
        return failure ? failure : closed;
    const Found written = look(temporary_);
    if (written.failure)
        return written.failure;
    if (written.attributes.size != size_)
        return UploadResult(UploadOutcome::SizeMismatch);
    return std::nullopt;
}

// The diary's blocks, many on their way at once; the send is counted as the server confirms them.
std::optional<UploadResult> SftpSender::writeBlocks(const QByteArray& handle)
{
    const qint64 blockSize = channel_.writeLength();
    const qsizetype requestsInFlight = qMax<qsizetype>(8, bytesInFlight / blockSize);
    QList<quint32> waiting;
    qint64 offset = 0;
    qint64 confirmed = 0;
    while (offset < size_ || !waiting.isEmpty()) {
        while (offset < size_ && waiting.size() < requestsInFlight) {
            const qint64 length = qMin(blockSize, size_ - offset);
            const std::optional<quint32> id =
                channel_.sendWrite(handle, quint64(offset), local_, length);
            if (!id)
                return UploadResult(UploadOutcome::LocalFileUnreadable, local_.errorString());
            waiting.append(*id);
            offset += length;
        }
        const std::optional<SftpReply> reply = channel_.reply(waiting.takeFirst());
        if (!reply)
            return channel_.ended();
        if (reply->code() != sftp::Ok)
            return refusal(*reply);
        confirmed = qMin(size_, confirmed + blockSize);
        if (hooks_.progress)
            hooks_.progress(confirmed, size_);
    }
    return std::nullopt;
}

// Puts the temporary file in the diary's place. OpenSSH's server replaces it in one step
// (posix-rename); on a server that will not rename over a file the old one is set aside for the
// moment between the two renames, and put back when the new one cannot take its place.
std::optional<UploadResult> SftpSender::putInPlace()
{
    if (channel_.offers("posix-rename@openssh.com")) {
        const std::optional<UploadResult> failure =
            expectOk(sftp::Extended, sftp::Packer().string("posix-rename@openssh.com").bytes
                                         + pathField(temporary_) + pathField(target_));
        if (failure)
            removeTemporary();
        return failure;
    }
    if (!rename(temporary_, target_)) // a server that renames over a file
        return std::nullopt;
    if (const std::optional<UploadResult> failure = rename(target_, setAside_)) {
        removeTemporary();
        return failure;
    }
    if (const std::optional<UploadResult> failure = rename(temporary_, target_)) {
        rename(setAside_, target_);
        removeTemporary();
        return failure;
    }
    expectOk(sftp::Remove, pathField(setAside_));
    return std::nullopt;
}

std::optional<UploadResult> SftpSender::rename(const QString& from, const QString& to)
{
    return expectOk(sftp::Rename, pathField(from) + pathField(to));
}

std::optional<UploadResult> SftpSender::expectOk(quint8 type, const QByteArray& fields)
{
    const std::optional<SftpReply> reply = channel_.call(type, fields);
    if (!reply)
        return channel_.ended();
    if (reply->code() != sftp::Ok)
        return refusal(*reply);
    return std::nullopt;
}

// What a refused request means for the send, with the server's own words.
UploadResult SftpSender::refusal(const SftpReply& reply)
{
    sftp::Unpacker reader(reply.body);
    const quint32 code = reader.u32();
    const QString words = QString::fromUtf8(reader.string());
    switch (code) {
    case sftp::NoSuchFile: return {UploadOutcome::FolderMissing, words};
    case sftp::PermissionDenied: return {UploadOutcome::NoPermission, words};
    default:
        // SFTP has no code of its own for a full disk: the server's free space tells.
        return {diskFull() ? UploadOutcome::DiskFull : UploadOutcome::Failed, words};
    }
}

// Whether the server's disk has less room left than the diary needs (statvfs@openssh.com).
bool SftpSender::diskFull()
{
    if (!channel_.offers("statvfs@openssh.com"))
        return false;
    const std::optional<SftpReply> reply = channel_.call(
        sftp::Extended, sftp::Packer().string("statvfs@openssh.com").bytes + pathField(folder_));
    if (!reply || reply->type != sftp::ExtendedReply)
        return false;
    sftp::Unpacker reader(reply->body);
    reader.u64(); // block size
    const quint64 fragment = reader.u64();
    reader.u64(); // blocks
    reader.u64(); // blocks free
    const quint64 available = reader.u64() * fragment;
    return !reader.failed() && available < quint64(size_);
}

// Removes the temporary file while the server can still be reached: after a cancel too, for a
// moment, then the connection is dropped (a leftover one is replaced at the next send).
void SftpSender::removeTemporary()
{
    channel_.resume(cleanUpMilliseconds);
    channel_.call(sftp::Remove, pathField(temporary_));
}

} // namespace

UploadResult sftpUpload(const UploadRequest& request, const UploadHooks& hooks)
{
    return SftpSender(request, hooks).send();
}

UploadResult sftpLookUp(const UploadRequest& request, const UploadHooks& hooks)
{
    return SftpSender(request, hooks).lookUp();
}
