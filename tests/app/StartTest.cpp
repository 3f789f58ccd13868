#include "app/ProgramFolder.h"
#include "app/SingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <future>

using namespace Qt::StringLiterals;

namespace {

TEST(WorkFolder, TheProgramsOwnFolderOnlyWhenWritableAndNotInstalled)
{
    const struct {
        const char* name;
        QString program;
        bool writable;
        QString expected;
    } cases[] = {
        {"build tree", u"/home/w/pelmora/build/"_s, true, u"/home/w/pelmora/build/"_s},
        {"installed, as root", u"/usr/bin/"_s, true, u"/home/w/.local/share/pelmora/"_s},
        {"installed", u"/usr/bin/"_s, false, u"/home/w/.local/share/pelmora/"_s},
        {"a folder the writer may not write", u"/opt/pelmora/"_s, false,
         u"/home/w/.local/share/pelmora/"_s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(workFolderFor(c.program, u"/usr/bin"_s, c.writable, u"/home/w/.local/share"_s),
                  c.expected)
            << c.name;
    EXPECT_EQ(workFolderFor(u"/usr/bin/"_s, u"/usr/bin/"_s, true, u"/data/"_s),
              u"/data/pelmora/"_s);
}

class SingleInstanceTest : public testing::Test {
protected:
    // Hands the path over from another thread while this one answers as the running instance.
    bool handOver(const QString& path)
    {
        std::future<bool> done = std::async(std::launch::async, [&] {
            return SingleInstance::handOver(socket, path, 2000);
        });
        while (done.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
            QCoreApplication::processEvents();
        return done.get();
    }

    QTemporaryDir folder;
    const QString socket = folder.filePath(u"pelmora.socket"_s);
};

TEST_F(SingleInstanceTest, TheRunningInstanceTakesWhatALaterStartHandsOver)
{
    EXPECT_FALSE(handOver(u"/tmp/a.htm"_s)); // nobody listens yet
    SingleInstance running(socket);
    ASSERT_TRUE(running.listen());
    QSignalSpy handed(&running, &SingleInstance::handedOver);

    SingleInstance second(socket);
    EXPECT_FALSE(second.listen()); // the running one keeps its socket
    const QString odd = u"/tmp/日記 100%\n.htm"_s;
    EXPECT_TRUE(handOver(odd));
    EXPECT_TRUE(handOver(QString()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return handed.size() == 2; }, 1000));
    EXPECT_EQ(handed[0][0].toString(), odd);
    EXPECT_EQ(handed[1][0].toString(), QString());
}

// A socket left behind by an instance that ended without closing it is taken over.
TEST_F(SingleInstanceTest, AStaleSocketIsReplaced)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(socket);
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
    ASSERT_TRUE(QFile::exists(socket));

    EXPECT_FALSE(handOver(u"/tmp/a.htm"_s));
    SingleInstance running(socket);
    ASSERT_TRUE(running.listen());
    QSignalSpy handed(&running, &SingleInstance::handedOver);
    EXPECT_TRUE(handOver(u"/tmp/a.htm"_s));
    EXPECT_TRUE(QTest::qWaitFor([&] { return handed.size() == 1; }, 1000));
}

// The program itself as the later start: it names a file relative to its working folder, hands
// it over as an absolute path and ends at once.
TEST_F(SingleInstanceTest, ASecondProgramHandsItsFileOverAndEnds)
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder.path()));
    SingleInstance running(SingleInstance::userSocketPath());
    const bool listening = running.listen();
    qputenv("XDG_RUNTIME_DIR", runtime);
    ASSERT_TRUE(listening);
    QSignalSpy handed(&running, &SingleInstance::handedOver);

    QProcess second;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_RUNTIME_DIR"_s, folder.path());
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    second.setProcessEnvironment(environment);
    second.setWorkingDirectory(folder.path());
    second.start(QStringLiteral(PELMORA_PROGRAM), {u"diary.htm"_s, u"other.htm"_s});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !handed.isEmpty(); }, 10000));
    EXPECT_EQ(handed[0][0].toString(), QDir(folder.path()).filePath(u"diary.htm"_s));
    ASSERT_TRUE(second.state() == QProcess::NotRunning || second.waitForFinished(10000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
}

} // namespace
