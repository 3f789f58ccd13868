#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include "ServerTools.h"

// OpenSSH's sshd on 127.0.0.1 and a free port, with throw-away host keys and a throw-away user
// whose home is in a temporary folder. It needs root (the user, the privilege separation); see
// start() for what happens without it.
class SshServer {
public:
    SshServer();
    ~SshServer();

    // Creates the user and the keys and starts the server. Empty when it runs; otherwise why it
    // does not.
    QString start();
    // Starts the server again after kill(), on the same port with the same keys.
    QString restart();
    // Kills the server and every process it started, open sessions included, at once.
    void kill();

    int port() const { return port_; }
    QString user() const;
    QString password() const { return user_.password(); }
    QString home() const { return dir_.filePath(QStringLiteral("home")); }
    QString userKey() const { return dir_.filePath(QStringLiteral("userkey")); }
    // The server's host key as a known_hosts line, and another key for the same host.
    QByteArray knownHostsLine() const;
    QByteArray otherKnownHostsLine() const;
    // The host key's fingerprint as ssh-keygen shows it.
    QString fingerprint() const;
    // A folder under the home that the user owns, made with its parents.
    QString makeFolder(const QString& relative) const;

    // Whether a test may skip when no server can start: only when the environment says so.
    static bool skipAllowed();

private:
    QString writeConfig();
    QString run();
    QByteArray publicKeyLine(const QString& name) const;

    QTemporaryDir dir_;
    QProcess sshd_;
    int port_ = 0;
    TestUser user_;
};
