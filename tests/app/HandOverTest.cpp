#include "app/LocalSocket.h"
#include "app/SingleInstance.h"
#include "core/AppInfo.h"
#include "storage/LockedFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <csignal>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int waitMs = 20000;

// The running instance and later starts as the writer has them: the program in child processes
// sharing one runtime folder, with settings and recovery files of their own.
class Instances : public testing::Test {
protected:
    Instances()
    {
        environment.insert(u"XDG_RUNTIME_DIR"_s, folder.path());
        environment.insert(u"XDG_CONFIG_HOME"_s, folder.filePath(u"config"_s));
        environment.insert(u"XDG_STATE_HOME"_s, folder.filePath(u"state"_s));
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        environment.remove(u"WAYLAND_DISPLAY"_s);
        environment.insert(u"DISPLAY"_s, u":91"_s);
        QFile file(diary);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write("<html>\r\n") == 8);
    }
    ~Instances() override
    {
        for (QProcess* child : {&running, &later}) {
            if (child->state() != QProcess::NotRunning) {
                ::kill(pid_t(child->processId()), SIGCONT);
                child->kill();
                child->waitForFinished();
            }
        }
    }

    void start(QProcess& child, const QString& program, const QStringList& arguments,
               int busyMs = 0, const QString& display = u":91"_s)
    {
        QProcessEnvironment env = environment;
        env.insert(u"DISPLAY"_s, display);
        env.insert(u"PELMORA_BUSY_MS"_s, QString::number(busyMs));
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(program, arguments);
    }

    // Waits for the child to tell a line that starts with `prefix`; returns the line.
    static QString lineFrom(QProcess& child, const QString& prefix, int ms = waitMs)
    {
        QString found;
        (void)QTest::qWaitFor( // the line found, or none
            [&] {
                while (found.isEmpty() && child.canReadLine()) {
                    const QString line = QString::fromUtf8(child.readLine()).chopped(1);
                    if (line.startsWith(prefix))
                        found = line;
                }
                return !found.isEmpty() || child.state() == QProcess::NotRunning;
            },
            ms);
        return found;
    }

    static bool ends(QProcess& child, int ms = waitMs)
    {
        return QTest::qWaitFor([&] { return child.state() == QProcess::NotRunning; }, ms);
    }

    QString socketPath() const
    {
        return folder.filePath(u"pelmora-%1-_91.socket"_s.arg(::getuid()));
    }

    QTemporaryDir folder;
    const QString diary = folder.filePath(u"日記.htm"_s);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    QProcess running, later;
};

// The running instance is busy for longer than a later start waits for an answer: the later
// start still hands the file over and ends, and the file opens once the window is free.
TEST_F(Instances, ABusyInstanceStillTakesTheHandOver)
{
    start(running, QStringLiteral(INSTANCE_CHILD), {}, 6000);
    ASSERT_FALSE(lineFrom(running, u"busy"_s).isEmpty());

    start(later, QStringLiteral(PELMORA_PROGRAM), {diary});
    ASSERT_TRUE(ends(later)) << "the later start became a second editor";
    EXPECT_EQ(later.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(later.exitCode(), 0);
    EXPECT_EQ(lineFrom(running, u"opened"_s), u"opened "_s + diary);
}

// A start on another display runs an instance of its own there; a later start on the first
// display still hands its file to the instance of that display.
TEST_F(Instances, EachDisplayHasItsOwnInstance)
{
    start(running, QStringLiteral(INSTANCE_CHILD), {});
    ASSERT_FALSE(lineFrom(running, u"ready"_s).isEmpty());

    QProcess other;
    start(other, QStringLiteral(INSTANCE_CHILD), {diary}, 0, u"localhost:92.0"_s);
    EXPECT_EQ(lineFrom(other, u"opened"_s), u"opened "_s + diary);
    EXPECT_TRUE(
        QFile::exists(folder.filePath(u"pelmora-%1-localhost_92.0.socket"_s.arg(::getuid()))));

    start(later, QStringLiteral(PELMORA_PROGRAM), {diary});
    ASSERT_TRUE(ends(later));
    EXPECT_EQ(later.exitCode(), 0);
    EXPECT_EQ(lineFrom(running, u"opened"_s), u"opened "_s + diary);
    other.kill();
    other.waitForFinished();
}

// An instance that listens but does not answer (stopped here): the later start tells the writer
// so and ends, without a window of its own.
TEST_F(Instances, ALaterStartSaysSoWhenTheRunningOneDoesNotAnswer)
{
    start(running, QStringLiteral(INSTANCE_CHILD), {});
    ASSERT_FALSE(lineFrom(running, u"ready"_s).isEmpty());
    ::kill(pid_t(running.processId()), SIGSTOP);

    start(later, QStringLiteral(INSTANCE_CHILD), {diary});
    const QString message = lineFrom(later, u"message"_s);
    ASSERT_TRUE(ends(later));
    ::kill(pid_t(running.processId()), SIGCONT);
    EXPECT_TRUE(message.startsWith(u"message "_s + appTitle() + u"|"_s)) << message.toStdString();
    EXPECT_TRUE(message.contains(u"応答しません"_s)) << message.toStdString();
    EXPECT_EQ(later.exitCode(), 1);
}

// A hand-over far longer than any path is dropped after the first few KiB, unread, and the
// instance goes on taking hand-overs at once.
TEST_F(Instances, AnOversizedHandOverIsDroppedUnread)
{
    start(running, QStringLiteral(INSTANCE_CHILD), {});
    ASSERT_FALSE(lineFrom(running, u"ready"_s).isEmpty());

    QLocalSocket flood;
    flood.connectToServer(socketPath());
    ASSERT_TRUE(flood.waitForConnected(waitMs));
    qint64 written = 0;
    QObject::connect(&flood, &QLocalSocket::bytesWritten, [&](qint64 bytes) { written += bytes; });
    flood.write(QByteArray(5 * 1024 * 1024, 'a'));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return flood.state() == QLocalSocket::UnconnectedState; }, waitMs));
    EXPECT_LT(written, 1024 * 1024); // what the system buffers, not the 5 MB

    EXPECT_EQ(SingleInstance::handOver(socketPath(), diary, 2000), SingleInstance::HandOver::Taken);
    EXPECT_EQ(lineFrom(running, u"opened"_s, 2000), u"opened "_s + diary);
}

// With XDG_RUNTIME_DIR unset, a runtime folder that another user made first in the temporary
// folder is refused and said so at start; the socket goes into the state folder instead, so a
// later start still hands its file over rather than open a second editor.
TEST_F(Instances, ARuntimeFolderAnotherUserMadeIsRefusedAndTheStateFolderTakesItsPlace)
{
    environment.remove(u"XDG_RUNTIME_DIR"_s);
    environment.insert(u"TMPDIR"_s, folder.path());
    ASSERT_EQ(::chmod(QFile::encodeName(folder.path()).constData(), 01777), 0);
    const QString theirs =
        folder.filePath(u"runtime-"_s + QString::fromLocal8Bit(::getpwuid(::getuid())->pw_name));
    ASSERT_EQ(inChild([&] {
                  return becomeNobody() && ::mkdir(QFile::encodeName(theirs).constData(), 0700) == 0
                             ? 0
                             : 1;
              }),
              0);

    start(running, QStringLiteral(INSTANCE_CHILD), {});
    const QString message = lineFrom(running, u"message"_s);
    EXPECT_TRUE(message.contains(theirs + u" を使いません"_s)) << message.toStdString();
    ASSERT_FALSE(lineFrom(running, u"ready"_s).isEmpty());

    start(later, QStringLiteral(PELMORA_PROGRAM), {diary});
    ASSERT_TRUE(ends(later)) << "the later start became a second editor";
    EXPECT_EQ(later.exitCode(), 0);
    EXPECT_EQ(lineFrom(running, u"opened"_s), u"opened "_s + diary);
    EXPECT_TRUE(QFileInfo(folder.filePath(u"state/pelmora/pelmora-%1-_91.socket"_s.arg(::getuid())))
                    .exists());
}

// Connections that never send anything are closed as newer ones come: hundreds of them hold no
// more than a few of the running instance's descriptors, and a later start still hands over.
TEST_F(Instances, IdleConnectionsHoldNoDescriptors)
{
    start(running, QStringLiteral(INSTANCE_CHILD), {});
    ASSERT_FALSE(lineFrom(running, u"ready"_s).isEmpty());
    const QDir descriptors(u"/proc/%1/fd"_s.arg(running.processId()));
    const qsizetype before =
        descriptors.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size();

    std::vector<localsocket::Socket> idle(500);
    for (localsocket::Socket& socket : idle)
        ASSERT_EQ(localsocket::connectTo(socketPath(), QDeadlineTimer(waitMs), socket),
                  localsocket::Connect::Connected);
    EXPECT_EQ(SingleInstance::handOver(socketPath(), diary, waitMs),
              SingleInstance::HandOver::Taken);

    EXPECT_LT(descriptors.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size(),
              before + 20);
    EXPECT_EQ(lineFrom(running, u"opened"_s), u"opened "_s + diary);
}

} // namespace
