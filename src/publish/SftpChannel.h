#pragma once

#include "publish/SiteUpload.h"

#include <QDeadlineTimer>
#include <QHash>
#include <QLocalServer>
#include <QProcess>
#include <QTemporaryDir>

#include <optional>

// The SFTP (version 3) messages and status codes the send uses.
namespace sftp {
enum Type : quint8 {
    Init = 1,
    Version = 2,
    Open = 3,
    Close = 4,
    Write = 6,
    Lstat = 7,
    Fsetstat = 10,
    Remove = 13,
    Mkdir = 14,
    Stat = 17,
    Rename = 18,
    Status = 101,
    Handle = 102,
    Name = 104,
    Attrs = 105,
    Extended = 200,
    ExtendedReply = 201,
};
enum Code : quint32 { Ok = 0, Eof = 1, NoSuchFile = 2, PermissionDenied = 3, Failure = 4 };
enum OpenFlags : quint32 { WriteFlag = 0x02, Create = 0x08, Truncate = 0x10 };
enum AttrFlags : quint32 { Size = 0x01, UidGid = 0x02, Permissions = 0x04, Times = 0x08 };

// Packs SFTP's fields: big-endian integers and length-prefixed strings.
class Packer {
public:
    Packer& u32(quint32 value);
    Packer& u64(quint64 value);
    Packer& string(const QByteArray& bytes);
    QByteArray bytes;
};

// Reads them back; a field past the end reads as zero and marks the reader failed.
class Unpacker {
public:
    explicit Unpacker(const QByteArray& bytes) : bytes_(bytes) {}
    quint32 u32();
    quint64 u64();
    QByteArray string();
    bool failed() const { return failed_; }

private:
    QByteArray bytes_;
    qsizetype at_ = 0;
    bool failed_ = false;
};

// A file's attributes as a reply gives them.
struct Attributes {
    bool valid = false;
    qint64 size = -1;
    int permissions = -1; // the mode's permission bits; -1: not given
    QDateTime modified;
};
Attributes readAttributes(Unpacker& reader);
} // namespace sftp

// A reply from the server: its type and the bytes after the request's number.
struct SftpReply {
    quint8 type = 0;
    QByteArray body;
    // The status code of a Status reply; Failure for any other type.
    quint32 code() const;
};

// An SFTP session through OpenSSH's own ssh, run as a child as OpenSSH's sftp runs it: the
// writer's ~/.ssh/config, ssh-agent, known_hosts (hashed, revoked keys, certificate authorities)
// and every key type count as in the writer's terminal. Questions ssh asks (a password, a
// passphrase, a new host key) come through pelmora-askpass to this session, which answers them
// from the request and the hooks. Blocks on the calling thread.
class SftpChannel {
public:
    SftpChannel(const UploadRequest& request, const UploadHooks& hooks);
    ~SftpChannel();
    SftpChannel(const SftpChannel&) = delete;
    SftpChannel& operator=(const SftpChannel&) = delete;

    // Starts ssh and opens the session; nullopt once open, otherwise why it did not.
    std::optional<UploadResult> open();
    // Sends a request and returns its number.
    quint32 send(quint8 type, const QByteArray& fields);
    // Sends a Write of the next `length` bytes of `file` at `offset` into the open file `handle`
    // (a packed string), read straight into the request; nothing when the file gave fewer.
    std::optional<quint32> sendWrite(const QByteArray& handle, quint64 offset, QIODevice& file,
                                     qint64 length);
    // The most a Write may carry: what the server says it takes (limits@openssh.com), up to
    // 256 KB, or the 32 KB every server takes.
    qint64 writeLength() const { return writeLength_; }
    // Waits for the reply to `id`; nothing when the session ended, timed out or was cancelled:
    // ended() tells which.
    std::optional<SftpReply> reply(quint32 id);
    std::optional<SftpReply> call(quint8 type, const QByteArray& fields);
    // Whether the server offers this extension ("posix-rename@openssh.com").
    bool offers(const QByteArray& extension) const { return extensions_.contains(extension); }
    // Why the session stopped.
    UploadResult ended() const;
    // Ends ssh at once.
    void stop();
    // Lets a session stopped by a cancel go on for a clean-up, each reply within `milliseconds`.
    void resume(int milliseconds);

private:
    QStringList arguments() const;
    QProcessEnvironment environment() const;
    bool pump();
    void readPackets();
    void serveAskpass();
    QByteArray answer(const QString& prompt);
    QByteArray passphrase(const QString& keyFile);
    void readLimits();
    UploadResult sshFailure() const;

    const UploadRequest& request_;
    const UploadHooks& hooks_;
    QProcess ssh_;
    QTemporaryDir folder_;
    QLocalServer askpass_;
    QByteArray input_;
    QHash<quint32, SftpReply> replies_;
    QHash<QByteArray, QByteArray> extensions_;
    quint32 nextId_ = 1;
    qint64 writeLength_ = 32 * 1024;
    int stallLimit_;
    QDeadlineTimer deadline_;
    int secretsGiven_ = 0;
    // The key file whose passphrase the writer was asked for during the session.
    QString passphraseKey_;
    bool cleaningUp_ = false; // after a cancel: the clean-up is not cancelled again
    bool hostRefused_ = false;
    std::optional<UploadOutcome> stopped_;
    QByteArray errors_;
};
