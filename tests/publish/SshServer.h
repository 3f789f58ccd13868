#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include "ServerTools.h"

// OpenSSH's sshd on 127.0.0.1 and a free port in Debian's default configuration, with
// throw-away host keys of each type (RSA, ECDSA, ed25519, the last with a certificate from a
// throw-away authority) and a throw-away user whose home is in a temporary folder, signing in by
// password or by a key of each type. It needs root (the user, the privilege separation); see
// start() for what happens without it.
class SshServer {
public:
    // `kind` tells two servers of one test apart.
    explicit SshServer(const QString& kind = QStringLiteral("sftp"));
    ~SshServer();

    // Creates the user and the keys and starts the server. Empty when it runs; otherwise why it
    // does not.
    QString start();
    // Starts the server again after kill(), on the same port with the same keys.
    QString restart();
    // Starts the server again offering only these host key types ("rsa", "ecdsa", "ed25519").
    QString offerHostKeys(const QStringList& types);
    // Stops (SIGSTOP) or continues every process the server started: a server that stalls.
    void stall(bool stopped);
    // Kills the server and every process it started, open sessions included, at once.
    void kill();

    int port() const { return port_; }
    QString user() const;
    QString password() const { return user_.password(); }
    QString home() const { return dir_.filePath(QStringLiteral("home")); }
    // The user's private key of the type, without a passphrase.
    QString userKey(const QString& type = QStringLiteral("ed25519")) const;
    // The user's ed25519 key that has a passphrase, and the passphrase.
    QString passphraseKey() const { return dir_.filePath(QStringLiteral("user_passphrase")); }
    static QString keyPassphrase() { return QStringLiteral("日記の鍵 passphrase"); }
    // The server's host key of the type as a known_hosts line, and another key for the same host.
    QByteArray knownHostsLine(const QString& type = QStringLiteral("ed25519")) const;
    QByteArray otherKnownHostsLine() const;
    // The line that trusts every host key the server's authority signed for 127.0.0.1.
    QByteArray certificateAuthorityLine() const;
    // The host key's fingerprint as ssh-keygen shows it.
    QString fingerprint(const QString& type = QStringLiteral("ed25519")) const;
    // A folder under the home that the user owns, made with its parents.
    QString makeFolder(const QString& relative) const;

    // Whether a test may skip when no server can start: only when the environment says so.
    static bool skipAllowed();

private:
    QString writeConfig();
    QString run();
    QByteArray publicKeyLine(const QString& name) const;
    QString makeKeys();

    QTemporaryDir dir_;
    QProcess sshd_;
    int port_ = 0;
    TestUser user_;
    QStringList hostKeys_ = {QStringLiteral("rsa"), QStringLiteral("ecdsa"),
                             QStringLiteral("ed25519")};
};
