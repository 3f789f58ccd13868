#include "SshServer.h"

#include <QDir>
#include <QFile>
#include <QTcpSocket>
#include <QThread>

#include <csignal>
#include <unistd.h>

SshServer::SshServer() : user_(QStringLiteral("sftp")) {}

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
    for (const char* key : {"hostkey", "otherkey", "userkey"}) {
        if (!runTool(QStringLiteral("ssh-keygen"),
                     {QStringLiteral("-q"), QStringLiteral("-t"), QStringLiteral("ed25519"),
                      QStringLiteral("-N"), QString(), QStringLiteral("-f"),
                      dir_.filePath(QLatin1String(key))}))
            return QStringLiteral("ssh-keygen failed");
    }
    QFile::copy(dir_.filePath(QStringLiteral("userkey.pub")),
                dir_.filePath(QStringLiteral("authorized_keys")));
    port_ = freePort();
    const QString configFailure = writeConfig();
    return configFailure.isEmpty() ? run() : configFailure;
}

QString SshServer::writeConfig()
{
    QFile config(dir_.filePath(QStringLiteral("sshd_config")));
    if (!config.open(QIODevice::WriteOnly))
        return QStringLiteral("cannot write sshd_config");
    const QString text =
        QStringLiteral("Port %1\nListenAddress 127.0.0.1\nHostKey %2\nPidFile %4\n"
                       "AuthorizedKeysFile %3\nStrictModes no\nUsePAM no\n"
                       "PasswordAuthentication yes\nKbdInteractiveAuthentication no\n"
                       "Subsystem sftp internal-sftp\n")
            .arg(port_)
            .arg(dir_.filePath(QStringLiteral("hostkey")),
                 dir_.filePath(QStringLiteral("authorized_keys")),
                 dir_.filePath(QStringLiteral("sshd.pid")));
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

QByteArray SshServer::knownHostsLine() const
{
    return publicKeyLine(QStringLiteral("hostkey"));
}

QByteArray SshServer::otherKnownHostsLine() const
{
    return publicKeyLine(QStringLiteral("otherkey"));
}

QString SshServer::fingerprint() const
{
    QProcess keygen;
    keygen.start(QStringLiteral("ssh-keygen"), {QStringLiteral("-l"), QStringLiteral("-f"),
                                                dir_.filePath(QStringLiteral("hostkey.pub"))});
    keygen.waitForFinished();
    return QString::fromLatin1(keygen.readAllStandardOutput()).section(u' ', 1, 1);
}

QString SshServer::makeFolder(const QString& relative) const
{
    return user_.makeFolder(relative);
}
