#include "SshServer.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <csignal>
#include <pwd.h>
#include <unistd.h>

namespace {

// A name of this process's own: tests run side by side, each with its server and its user.
const QString userName = QStringLiteral("pelmora-sftp-%1").arg(getpid());

} // namespace

bool runTool(const QString& program, const QStringList& arguments, const QByteArray& input)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted())
        return false;
    process.write(input);
    process.closeWriteChannel();
    return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit
           && process.exitCode() == 0;
}

int freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// Every process below `root`, children before their parents are listed.
QList<pid_t> descendants(pid_t root)
{
    QHash<pid_t, QList<pid_t>> children;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool number = false;
        const pid_t pid = entry.toInt(&number);
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!number || !stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1)
            children[pid_t(fields[1].toInt())].append(pid);
    }
    QList<pid_t> found;
    QList<pid_t> todo = children.value(root);
    while (!todo.isEmpty()) {
        const pid_t pid = todo.takeFirst();
        found.append(pid);
        todo += children.value(pid);
    }
    return found;
}

SshServer::SshServer()
{
    password_ = QStringLiteral("pw-%1").arg(QRandomGenerator::global()->generate64(), 0, 36);
}

SshServer::~SshServer()
{
    kill();
    if (userMade_)
        runTool(QStringLiteral("userdel"), {QStringLiteral("-f"), userName});
}

bool SshServer::skipAllowed()
{
    return qEnvironmentVariableIsSet("PELMORA_SKIP_SERVER_TESTS");
}

QString SshServer::user() const
{
    return userName;
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
    if (!runTool(QStringLiteral("useradd"),
                 {QStringLiteral("-M"), QStringLiteral("-d"), home(), QStringLiteral("-s"),
                  QStringLiteral("/bin/sh"), userName}))
        return QStringLiteral("useradd failed");
    userMade_ = true;
    if (!runTool(QStringLiteral("chpasswd"), {}, (userName + u':' + password_).toUtf8()))
        return QStringLiteral("chpasswd failed");
    const passwd* account = getpwnam(userName.toUtf8().constData());
    if (!account || chown(QFile::encodeName(home()).constData(), account->pw_uid, 0) != 0)
        return QStringLiteral("cannot give the home folder to the test user");
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
    const passwd* account = getpwnam(userName.toUtf8().constData());
    QString path = home();
    for (const QString& part : relative.split(u'/', Qt::SkipEmptyParts)) {
        path += u'/' + part;
        QDir().mkpath(path);
        if (!account || chown(QFile::encodeName(path).constData(), account->pw_uid, 0) != 0)
            return {};
    }
    return path;
}
