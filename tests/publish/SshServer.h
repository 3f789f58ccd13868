#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <sys/types.h>

// Runs a tool to its end, `input` on its standard input; true when it ended with 0.
bool runTool(const QString& program, const QStringList& arguments, const QByteArray& input = {});
// A port on 127.0.0.1 that nothing listens on now.
int freePort();
// Every process below `root`, children before their parents are listed.
QList<pid_t> descendants(pid_t root);

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
    QString password() const { return password_; }
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
    QString password_;
    bool userMade_ = false;
};
