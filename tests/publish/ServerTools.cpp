#include "ServerTools.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QTcpServer>

#include <pwd.h>
#include <unistd.h>

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

TestUser::TestUser(const QString& kind)
    : name_(QStringLiteral("pelmora-%1-%2").arg(kind).arg(getpid())),
      password_(QStringLiteral("pw-%1").arg(QRandomGenerator::global()->generate64(), 0, 36))
{
}

TestUser::~TestUser()
{
    if (made_)
        runTool(QStringLiteral("userdel"), {QStringLiteral("-f"), name_});
}

QString TestUser::create(const QString& home)
{
    home_ = home;
    QDir().mkpath(home);
    if (!runTool(QStringLiteral("useradd"),
                 {QStringLiteral("-M"), QStringLiteral("-d"), home, QStringLiteral("-s"),
                  QStringLiteral("/bin/sh"), name_}))
        return QStringLiteral("useradd failed");
    made_ = true;
    if (!runTool(QStringLiteral("chpasswd"), {}, (name_ + u':' + password_).toUtf8()))
        return QStringLiteral("chpasswd failed");
    const passwd* account = getpwnam(name_.toUtf8().constData());
    if (!account || chown(QFile::encodeName(home).constData(), account->pw_uid, 0) != 0)
        return QStringLiteral("cannot give the home folder to the test user");
    return {};
}

QString TestUser::makeFolder(const QString& relative) const
{
    const passwd* account = getpwnam(name_.toUtf8().constData());
    QString path = home_;
    for (const QString& part : relative.split(u'/', Qt::SkipEmptyParts)) {
        path += u'/' + part;
        QDir().mkpath(path);
        if (!account || chown(QFile::encodeName(path).constData(), account->pw_uid, 0) != 0)
            return {};
    }
    return path;
}
