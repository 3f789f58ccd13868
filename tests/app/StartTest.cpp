#include "app/ProgramFolder.h"
#include "app/SingleInstance.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <future>

using namespace Qt::StringLiterals;

namespace {

TEST(WorkFolder, TheProgramsOwnFolderOnlyWhenWritableAndNotInstalled)
{
    const QString build = u"/home/w/pelmora/build/"_s, data = u"/home/w/.local/share/pelmora/"_s;
    const std::tuple<QString, bool, QString> cases[] = {
        {build, true, build},
        {u"/usr/bin/"_s, true, data}, // installed, run by root
        {u"/usr/bin/"_s, false, data},
        {u"/opt/pelmora/"_s, false, data}};
    for (const auto& [program, writable, expected] : cases)
        EXPECT_EQ(workFolderFor(program, u"/usr/bin"_s, writable, u"/home/w/.local/share"_s),
                  expected)
            << program.toStdString();
}

// The running instance in this thread; later starts hand over from another one.
TEST(SingleInstance, TakesHandOversAndReplacesAStaleSocket)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(u"pelmora.socket"_s);
    using HandOver = SingleInstance::HandOver;
    const auto handOver = [&](const QString& file) {
        std::future<HandOver> done = std::async(
            std::launch::async, [&] { return SingleInstance::handOver(path, file, 2000); });
        while (done.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
            QCoreApplication::processEvents();
        return done.get();
    };
    // A socket left by an instance that ended without closing it.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, QFile::encodeName(path).constData());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
    EXPECT_EQ(handOver(u"/tmp/a.htm"_s), HandOver::NoInstance); // replaced, not "no answer"

    SingleInstance running(path);
    ASSERT_TRUE(running.listen());
    EXPECT_FALSE(SingleInstance(path).listen()); // the running one keeps its socket
    QSignalSpy handed(&running, &SingleInstance::handedOver);
    const QString odd = u"/tmp/日記 100%\n.htm"_s;
    EXPECT_EQ(handOver(odd), HandOver::Taken);
    EXPECT_EQ(handOver(QString()), HandOver::Taken);
    ASSERT_TRUE(QTest::qWaitFor([&] { return handed.size() == 2; }, 1000));
    EXPECT_EQ(handed[0][0].toString(), odd);
    EXPECT_EQ(handed[1][0].toString(), QString());
}

// The socket is the writer's alone (another user could otherwise hand files to the editor) and
// goes with the instance; where no socket can be made, nothing listens and the start runs alone.
TEST(SingleInstance, TheSocketIsTheWritersOnlyAndGoesWithTheInstance)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(u"pelmora.socket"_s);
    {
        SingleInstance running(path);
        ASSERT_TRUE(running.listen());
        struct stat status {};
        ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &status), 0);
        EXPECT_TRUE(S_ISSOCK(status.st_mode));
        EXPECT_EQ(status.st_mode & 07777, 0600u);
    }
    EXPECT_FALSE(QFile::exists(path));

    const QString tooLong = folder.filePath(QString(120, u'x'));
    SingleInstance alone(tooLong);
    EXPECT_EQ(alone.start(u"/tmp/a.htm"_s), SingleInstance::Start::Run);
    EXPECT_EQ(SingleInstance::handOver(tooLong, u"/tmp/a.htm"_s, 500),
              SingleInstance::HandOver::NoInstance);
}

// The real program, started while an instance runs, hands over the first file it was named,
// made absolute against the folder it was started in, and ends at once.
TEST(SingleInstance, ASecondProgramHandsOverTheFirstFileItWasNamed)
{
    QTemporaryDir runtime;
    SingleInstance running(runtime.filePath(u"pelmora-%1.socket"_s.arg(::getuid())));
    ASSERT_TRUE(running.listen());
    QSignalSpy handed(&running, &SingleInstance::handedOver);

    QProcess second;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_RUNTIME_DIR"_s, runtime.path());
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    environment.remove(u"DISPLAY"_s);
    environment.remove(u"WAYLAND_DISPLAY"_s);
    second.setProcessEnvironment(environment);
    second.setWorkingDirectory(runtime.path());
    second.start(QStringLiteral(PELMORA_PROGRAM), {u"sub/日記.htm"_s, u"other.htm"_s});
    ASSERT_TRUE(QTest::qWaitFor([&] { return second.state() == QProcess::NotRunning; }, 20000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    ASSERT_EQ(handed.size(), 1);
    EXPECT_EQ(handed[0][0].toString(), runtime.filePath(u"sub/日記.htm"_s));
}

} // namespace

namespace {

// The real program asked on the command line for its usage or version answers on the terminal,
// without a display; an option it does not know is refused with status 2 and no window.
TEST(CommandLine, AnswersOnTheTerminalAndRefusesUnknownOptions)
{
    struct Case {
        QStringList arguments;
        int status;
        const char* inOutput; // on standard output, or on standard error for status 2
    };
    const Case cases[] = {
        {{u"--help"_s}, 0, "--version"},     {{u"-h"_s, u"a.htm"_s}, 0, "[file]"},
        {{u"--version"_s}, 0, "Pelmora 2."}, {{u"-v"_s}, 0, "Pelmora 2."},
        {{u"--bogus"_s}, 2, "bogus"},        {{u"a.htm"_s, u"-x"_s}, 2, "pelmora --help"}};
    QTemporaryDir runtime;
    for (const auto& [arguments, status, inOutput] : cases) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"XDG_RUNTIME_DIR"_s, runtime.path());
        environment.insert(u"XDG_CONFIG_HOME"_s, runtime.filePath(u"config"_s));
        // No display at all for the usage and the version; the refusal comes after Qt has taken
        // its own options, so that one needs a platform.
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(name));
        if (status == 2)
            environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(PELMORA_PROGRAM), arguments);
        ASSERT_TRUE(program.waitForFinished(20000)) << arguments.join(u' ').toStdString();
        const QByteArray told =
            status == 2 ? program.readAllStandardError() : program.readAllStandardOutput();
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), status) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(told.contains(inOutput)) << told.toStdString();
    }
}

} // namespace
