#pragma once

#include "publish/KnownHosts.h"
#include "publish/LinkedFiles.h"
#include "publish/SiteAddress.h"

#include <QDateTime>
#include <QString>

#include <atomic>
#include <functional>
#include <optional>

// How a send ended. Every outcome but Sent leaves the file on the site as it was.
enum class UploadOutcome {
    Sent,
    LookedUp, // a look-up that reached the file's folder: `remote` tells what is there
    Cancelled,
    LocalFileUnreadable,
    WrongPassword,
    WrongPassphrase, // ssh asked for a key's passphrase and the one given did not open the key
    HostNotFound,
    ConnectionRefused,
    TimedOut,
    HostKeyChanged,
    HostKeyRevoked,
    HostKeyRefused,
    CertificateRefused,
    CertificateChanged,
    NoEncryption,
    NoTls, // the server took AUTH TLS but the handshake failed (another service on the port...)
    NoPermission,
    DiskFull,
    ReadOnlyKept, // the file on the site is read-only and the writer chose to keep it
    FolderMissing,
    ConnectionLost,
    SizeMismatch,
    Failed,
};

// The diary's file on the site, as a look-up found it.
struct RemoteFile {
    bool exists = false;
    qint64 size = -1;   // -1: the server did not say
    QDateTime modified; // invalid: the server did not say
};

struct UploadResult {
    UploadResult() = default;
    UploadResult(UploadOutcome outcome, const QString& detail = {})
        : outcome(outcome), detail(detail)
    {
    }

    UploadOutcome outcome = UploadOutcome::Failed;
    QString detail; // the transfer library's own words, when it had any
    RemoteFile remote;
    QStringList sent; // the names under the site's folder that went there, in the order sent
    HostKeyChange changedKey; // for HostKeyChanged
    QString keyFile;          // for WrongPassphrase: the key ssh asked about
};

// A server's SSH host key that known_hosts does not hold.
struct HostKeySeen {
    QString host;
    int port = 22;
    QString keyType;     // "ssh-ed25519", "ecdsa-sha2-nistp256", ...
    QString fingerprint; // "SHA256:" and the unpadded base64 of the key's SHA-256, as ssh shows it
};

// A server's TLS certificate that no authority the system trusts vouches for.
struct CertificateSeen {
    QString host;
    int port = 21;
    QString fingerprint;          // the SHA-256 of the certificate, "AB:12:..."
    QString publicKeyFingerprint; // the SHA-256 of its public key, "AB:12:..."
    QString subject;
    QString issuer;
    QDateTime validFrom;
    QDateTime validUntil;
    // The key pinned for the host before, "AB:12:...", when the server now shows another one.
    QString pinnedFingerprint;
};

struct UploadRequest {
    SiteAddress site;
    QString localPath;
    // Sent before the diary, each as the diary is, its folders made as needed.
    QList<LinkedFile> linkedFiles;
    QString secret;     // the password, or the key file's passphrase
    QString knownHosts; // the known_hosts file the host key is checked against and added to
    // ssh's configuration file; empty: the writer's own (~/.ssh/config, then the system's).
    QString sshConfig;
    // The fingerprint of a host key the writer has already accepted: it is added without asking.
    QString acceptedHostKey;
    // The file of the certificates' public keys the writer trusted, by host and port.
    QString pinnedCertificates;
    int connectSeconds = 20;
    int stallSeconds = 30; // a send that moves no byte for this long has timed out
};

// Called on the sending thread.
struct UploadHooks {
    // Whether to trust a host whose key known_hosts does not hold; a yes adds the key there.
    std::function<bool(const HostKeySeen&)> trustNewHost;
    // Whether to trust a certificate no authority vouches for, or one whose key differs from the
    // key pinned for the host; a yes keeps its public key in the pins file, and only that key is
    // accepted from the host from then on.
    std::function<bool(const CertificateSeen&)> trustCertificate;
    // Whether to replace the file on the site that is read-only (its mode without the owner's
    // write permission); the new file keeps that mode.
    std::function<bool(const QString& remotePath)> replaceReadOnly;
    // The passphrase of a key file ssh needs that the request holds none for (one of
    // ~/.ssh/config or ~/.ssh/id_* not in ssh-agent); nullopt cancels the send.
    std::function<std::optional<QString>(const QString& keyFile)> askPassphrase;
    std::function<void(qint64 sent, qint64 total)> progress;
    const std::atomic_bool* cancelled = nullptr;
};

// The transfer lives in a library of its own, libpelmora_transfer.so, loaded at the first send:
// libcurl and the dozen libraries behind it (Kerberos, LDAP, SSH, HTTP/2...) would otherwise
// load at every start. The library gives uploadToSite under this name.
using UploadFunction = UploadResult (*)(const UploadRequest& request, const UploadHooks& hooks);
inline constexpr char uploadToSiteName[] = "pelmoraUploadToSite";
// The library gives lookUpOnSite under this name, with the same signature.
inline constexpr char lookUpOnSiteName[] = "pelmoraLookUpOnSite";
inline const QString transferLibraryName = QStringLiteral("libpelmora_transfer.so");

// Sends the linked files and then the diary to the site, over one connection. Each goes to a
// temporary name in its folder first, then, once the server holds all of it, is renamed over
// the old file, so the site never shows half of one. A failure or a cancel stops the send there
// (the diary, last, never links a file that did not arrive), leaves that file's old copy whole
// and removes the temporary one when the server can still be reached (a leftover one is
// replaced at the next send). Blocks until done.
UploadResult uploadToSite(const UploadRequest& request, const UploadHooks& hooks);
// Sends one file to its name on the site; nothing when it arrived, else why not.
using SendOneFile =
    std::function<std::optional<UploadResult>(const QString& localPath, const QString& remoteName)>;
// The order of a send on an open connection: the linked files, then the diary, each by
// sendFile. The first failure or a cancel ends it; the result names the files that arrived.
UploadResult sendLinkedFilesThenDiary(const UploadRequest& request, const UploadHooks& hooks,
                                      const SendOneFile& sendFile);
// Connects as a send would (host key and certificate checked, signed in) and looks at the file
// the diary would replace, changing nothing: LookedUp with its size and time, or that there is
// none yet. Blocks until done.
UploadResult lookUpOnSite(const UploadRequest& request, const UploadHooks& hooks);
