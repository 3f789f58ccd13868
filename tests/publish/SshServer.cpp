#include "SshServer.h"

#include <QDir>
#include <QFile>
#include <QTcpSocket>
#include <QThread>

#include <csignal>
#include <unistd.h>

SshServer::SshServer(const QString& kind) : user_(kind) {}

SshServer::~SshServer()
{
    kill();
}

bool SshServer::skipAllowed()
{
    return qEnvironmentVariableIsSet("PELMORA_SKIP_SERVER_TESTS");
}

QString SshServer::user() const
{
    return user_.name();
}

QString SshServer::start()
{
    if (geteuid() != 0)
        return QStringLiteral("the SSH server tests run as root (they add a user and start sshd)");
    if (!QFile::exists(QStringLiteral("/usr/sbin/sshd")))
        return QStringLiteral("/usr/sbin/sshd is missing: install openssh-server");
    QDir().mkpath(QStringLiteral("/run/sshd")); // sshd's privilege separation folder
    QDir(dir_.path()).mkpath(QStringLiteral("home"));
    // The user's side of the server reaches its home and authorized_keys through this folder.
    QFile::setPermissions(dir_.path(), QFile::permissions(dir_.path()) | QFile::ExeGroup
                                           | QFile::ReadOther | QFile::ExeOther);
    if (const QString failure = user_.create(home()); !failure.isEmpty())
        return failure;
    if (const QString failure = makeKeys(); !failure.isEmpty())
        return failure;
    port_ = freePort();
    const QString configFailure = writeConfig();
    return configFailure.isEmpty() ? run() : configFailure;
}

// Host keys and user keys of each type (and one ed25519 user key with a passphrase), the
// authority's certificate for the ed25519 host key, every user key allowed to sign in.
QString SshServer::makeKeys()
{
    QByteArray authorized;
    for (const QString& type :
         {QStringLiteral("rsa"), QStringLiteral("ecdsa"), QStringLiteral("ed25519")}) {
        for (const QString& name : {QStringLiteral("host_"), QStringLiteral("user_")}) {
            if (!runTool(QStringLiteral("ssh-keygen"),
                         {QStringLiteral("-q"), QStringLiteral("-t"), type, QStringLiteral("-N"),
                          QString(), QStringLiteral("-f"), dir_.filePath(name + type)}))
                return QStringLiteral("ssh-keygen failed");
        }
        QFile key(dir_.filePath(QStringLiteral("user_") + type + QStringLiteral(".pub")));
        key.open(QIODevice::ReadOnly);
        authorized += key.readAll();
    }
    if (!runTool(QStringLiteral("ssh-keygen"),
                 {QStringLiteral("-q"), QStringLiteral("-t"), QStringLiteral("ed25519"),
                  QStringLiteral("-N"), keyPassphrase(), QStringLiteral("-f"), passphraseKey()}))
        return QStringLiteral("ssh-keygen failed");
    QFile key(passphraseKey() + QStringLiteral(".pub"));
    key.open(QIODevice::ReadOnly);
    authorized += key.readAll();
    for (const char* name : {"otherkey", "ca"}) {
        if (!runTool(QStringLiteral("ssh-keygen"),
                     {QStringLiteral("-q"), QStringLiteral("-t"), QStringLiteral("ed25519"),
                      QStringLiteral("-N"), QString(), QStringLiteral("-f"),
                      dir_.filePath(QLatin1String(name))}))
            return QStringLiteral("ssh-keygen failed");
    }
    if (!runTool(QStringLiteral("ssh-keygen"),
                 {QStringLiteral("-q"), QStringLiteral("-s"), dir_.filePath(QStringLiteral("ca")),
                  QStringLiteral("-I"), QStringLiteral("test host"), QStringLiteral("-h"),
                  QStringLiteral("-n"), QStringLiteral("127.0.0.1"),
                  dir_.filePath(QStringLiteral("host_ed25519.pub"))}))
        return QStringLiteral("ssh-keygen could not sign the host key");
    QFile file(dir_.filePath(QStringLiteral("authorized_keys")));
    if (!file.open(QIODevice::WriteOnly) || file.write(authorized) != authorized.size())
        return QStringLiteral("cannot write authorized_keys");
    return {};
}

QString SshServer::writeConfig()
{
    QFile config(dir_.filePath(QStringLiteral("sshd_config")));
    if (!config.open(QIODevice::WriteOnly))
        return QStringLiteral("cannot write sshd_config");
    // The first value of a setting counts: Debian's own file, included last, gives the rest.
    QString text = QStringLiteral("Port %1\nListenAddress 127.0.0.1\nPidFile %2\n"
                                  "AuthorizedKeysFile %3\nStrictModes no\n")
                       .arg(port_)
                       .arg(dir_.filePath(QStringLiteral("sshd.pid")),
                            dir_.filePath(QStringLiteral("authorized_keys")));
    for (const QString& type : hostKeys_)
        text += QStringLiteral("HostKey %1\n").arg(dir_.filePath(QStringLiteral("host_") + type));
    if (hostKeys_.contains(QStringLiteral("ed25519")))
        text += QStringLiteral("HostCertificate %1\n")
                    .arg(dir_.filePath(QStringLiteral("host_ed25519-cert.pub")));
    text += QStringLiteral("Include /etc/ssh/sshd_config\n");
    config.write(text.toUtf8());
    return {};
}

QString SshServer::run()
{
    sshd_.start(QStringLiteral("/usr/sbin/sshd"),
                {QStringLiteral("-D"), QStringLiteral("-E"),
                 dir_.filePath(QStringLiteral("sshd.log")), QStringLiteral("-f"),
                 dir_.filePath(QStringLiteral("sshd_config"))});
    if (!sshd_.waitForStarted())
        return QStringLiteral("sshd did not start");
    for (int tries = 0; tries < 100; ++tries) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, quint16(port_));
        if (probe.waitForConnected(100))
            return {};
        if (sshd_.state() == QProcess::NotRunning)
            return QStringLiteral("sshd stopped at start: ")
                   + QString::fromLocal8Bit(sshd_.readAllStandardError());
        QThread::msleep(50);
    }
    QFile log(dir_.filePath(QStringLiteral("sshd.log")));
    log.open(QIODevice::ReadOnly);
    return QStringLiteral("sshd does not listen on port %1: %2")
        .arg(port_)
        .arg(QString::fromLocal8Bit(log.readAll()));
}

QString SshServer::restart()
{
    return run();
}

QString SshServer::offerHostKeys(const QStringList& types)
{
    kill();
    hostKeys_ = types;
    const QString failure = writeConfig();
    return failure.isEmpty() ? run() : failure;
}

void SshServer::stall(bool stopped)
{
    for (const pid_t pid : descendants(pid_t(sshd_.processId())))
        ::kill(pid, stopped ? SIGSTOP : SIGCONT);
}

QString SshServer::userKey(const QString& type) const
{
    return dir_.filePath(QStringLiteral("user_") + type);
}

void SshServer::kill()
{
    if (sshd_.state() == QProcess::NotRunning)
        return;
    for (const pid_t pid : descendants(pid_t(sshd_.processId())))
        ::kill(pid, SIGKILL);
    sshd_.kill();
    sshd_.waitForFinished();
}

QByteArray SshServer::publicKeyLine(const QString& name) const
{
    QFile file(dir_.filePath(name + QStringLiteral(".pub")));
    file.open(QIODevice::ReadOnly);
    const QList<QByteArray> fields = file.readAll().split(' ');
    return "[127.0.0.1]:" + QByteArray::number(port_) + ' ' + fields.value(0) + ' '
           + fields.value(1) + '\n';
}

QByteArray SshServer::knownHostsLine(const QString& type) const
{
    return publicKeyLine(QStringLiteral("host_") + type);
}

QByteArray SshServer::certificateAuthorityLine() const
{
    return "@cert-authority " + publicKeyLine(QStringLiteral("ca"));
}

QByteArray SshServer::otherKnownHostsLine() const
{
    return publicKeyLine(QStringLiteral("otherkey"));
}

QString SshServer::fingerprint(const QString& type) const
{
    QProcess keygen;
    keygen.start(QStringLiteral("ssh-keygen"),
                 {QStringLiteral("-l"), QStringLiteral("-f"),
                  dir_.filePath(QStringLiteral("host_") + type + QStringLiteral(".pub"))});
    keygen.waitForFinished();
    return QString::fromLatin1(keygen.readAllStandardOutput()).section(u' ', 1, 1);
}

QString SshServer::makeFolder(const QString& relative) const
{
    return user_.makeFolder(relative);
}
