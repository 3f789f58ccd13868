// Times sending the generated 50 MB diary to an OpenSSH server on 127.0.0.1 with the program's
// own send, loaded from libpelmora_transfer.so as the program loads it (OpenSSH's ssh as the
// connection; a temporary name, synced, its size checked, renamed over the old file), beside
// OpenSSH's `sftp -b` putting the same file on the same server. Both sign in with the same key
// file, read the same (empty) ssh configuration and check the host key against the same
// known_hosts; each copy on the server is compared byte for byte.
//
// Then 200 linked pictures of 200 KB sent with the diary beside sftp -b putting the same files, a
// cancel on a server that stops answering half way (SIGSTOP), and the diary over FTPS to vsftpd
// (its defaults, TLS on) beside `curl --ssl-reqd -T`.
//
// Usage: upload_bench [megabytes] [runs]   (as root: the server adds a user and runs sshd)

#include "DiaryGenerator.h"
#include "FtpServer.h"
#include "SshServer.h"
#include "platform/ProgramLibraries.h"
#include "publish/SiteUpload.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <QThread>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What one send took, and whether the copy on the server is the diary.
struct Timing {
    double ms = 0;
    bool sent = false;
    bool same = false;
    QString problem;
};

void compare(Timing& timing, const QString& remoteFile, const QByteArray& diary)
{
    timing.same = timing.sent && readFile(remoteFile) == diary;
}

Timing sendWithProgram(UploadFunction upload, const UploadRequest& request,
                       const QString& remoteFolder, const QByteArray& diary)
{
    Timing timing;
    UploadHooks hooks;
    hooks.trustNewHost = [](const HostKeySeen&) { return false; };
    const auto start = Timer::now();
    const UploadResult result = upload(request, hooks);
    timing.ms = msSince(start);
    timing.sent = result.outcome == UploadOutcome::Sent;
    if (!timing.sent)
        timing.problem =
            QStringLiteral("outcome %1: %2").arg(int(result.outcome)).arg(result.detail);
    compare(timing, remoteFolder + u'/' + request.site.fileName, diary);
    return timing;
}

// The sftp command line for a batch file, signing in as the program does.
QStringList sftpArguments(const SshServer& server, const QString& batch, const QString& knownHosts)
{
    return {QStringLiteral("-F"),
            QFileInfo(knownHosts).dir().filePath(QStringLiteral("ssh_config")),
            QStringLiteral("-b"),
            batch,
            QStringLiteral("-i"),
            server.userKey(),
            QStringLiteral("-o"),
            QStringLiteral("UserKnownHostsFile=") + knownHosts,
            QStringLiteral("-o"),
            QStringLiteral("StrictHostKeyChecking=yes"),
            QStringLiteral("-P"),
            QString::number(server.port()),
            server.user() + QStringLiteral("@127.0.0.1")};
}

// OpenSSH's sftp running the batch, timed.
Timing runSftpBatch(const SshServer& server, const QString& knownHosts, const QString& batch,
                    const QByteArray& commands)
{
    Timing timing;
    if (!writeFile(batch, commands)) {
        timing.problem = QStringLiteral("cannot write the batch file");
        return timing;
    }
    QProcess sftp;
    sftp.setProcessChannelMode(QProcess::MergedChannels);
    const auto start = Timer::now();
    sftp.start(QStringLiteral("sftp"), sftpArguments(server, batch, knownHosts));
    const bool finished = sftp.waitForFinished(-1);
    timing.ms = msSince(start);
    timing.sent = finished && sftp.exitStatus() == QProcess::NormalExit && sftp.exitCode() == 0;
    if (!timing.sent)
        timing.problem = QStringLiteral("sftp failed: ") + QString::fromLocal8Bit(sftp.readAll());
    return timing;
}

Timing sendWithSftp(const SshServer& server, const QString& knownHosts, const QString& localFile,
                    const QString& remoteFile, const QByteArray& diary, const QString& batch)
{
    Timing timing =
        runSftpBatch(server, knownHosts, batch,
                     QStringLiteral("put \"%1\" \"%2\"\n").arg(localFile, remoteFile).toUtf8());
    compare(timing, remoteFile, diary);
    return timing;
}

void printTiming(const char* name, const Timing& timing, qsizetype bytes)
{
    const double mbPerSecond = double(bytes) / (1024.0 * 1024.0) / (timing.ms / 1000.0);
    std::printf("  %-26s %9.1f ms %8.1f MB/s   %s\n", name, timing.ms, mbPerSecond,
                !timing.sent  ? "NOT SENT"
                : timing.same ? "same bytes on the server"
                              : "DIFFERENT BYTES ON THE SERVER");
    if (!timing.problem.isEmpty())
        std::printf("    %s\n", qPrintable(timing.problem));
}

// 200 pictures of 200 KB that the diary links, sent by the program before the diary over one
// session, beside sftp -b putting the same files in the same order (and making their folder).
bool timeLinkedFiles(UploadFunction upload, SshServer& server, UploadRequest request,
                     const QString& local, const QString& knownHosts)
{
    const QString ours = server.makeFolder(QStringLiteral("linked-pelmora"));
    const QString theirs = server.makeFolder(QStringLiteral("linked-sftp"));
    QDir(local).mkpath(QStringLiteral("img"));
    QByteArray batch = "-mkdir \"" + theirs.toUtf8() + "/img\"\n";
    request.site.folder = ours;
    request.linkedFiles.clear();
    for (int number = 0; number < 200; ++number) {
        const QString name = QStringLiteral("img/%1.jpg").arg(number, 3, 10, QLatin1Char('0'));
        const QByteArray picture(200 * 1024, char(number));
        if (!writeFile(local + u'/' + name, picture))
            return false;
        request.linkedFiles.append({local + u'/' + name, name, picture.size()});
        batch += QStringLiteral("put \"%1/%2\" \"%3/%2\"\n").arg(local, name, theirs).toUtf8();
    }
    batch +=
        QStringLiteral("put \"%1\" \"%2/diary.htm\"\n").arg(request.localPath, theirs).toUtf8();
    UploadHooks hooks;
    const auto start = Timer::now();
    const UploadResult result = upload(request, hooks);
    Timing program{msSince(start), result.outcome == UploadOutcome::Sent, false, result.detail};
    program.same =
        program.sent
        && readFile(ours + QStringLiteral("/img/199.jpg")) == QByteArray(200 * 1024, char(199));
    Timing sftp = runSftpBatch(server, knownHosts, local + QStringLiteral("/linked-batch"), batch);
    sftp.same =
        sftp.sent
        && readFile(theirs + QStringLiteral("/img/199.jpg")) == QByteArray(200 * 1024, char(199));
    std::printf("200 linked pictures of 200 KB and the diary\n");
    printTiming("Pelmora (OpenSSH ssh)", program, 200 * 200 * 1024);
    printTiming("OpenSSH sftp -b", sftp, 200 * 200 * 1024);
    return program.same && sftp.same;
}

UploadFunction loadTransfer(const char* symbol = uploadToSiteName)
{
    QString error;
    const auto upload = reinterpret_cast<UploadFunction>(resolveInLibraries(
        programLibraryFiles(QCoreApplication::applicationDirPath(), transferLibraryName), symbol,
        error));
    if (!upload)
        std::fprintf(stderr, "upload_bench: cannot load the transfer library: %s\n",
                     qPrintable(error));
    return upload;
}

// A request for the diary in `local`, signed in with the server's user key.
UploadRequest keyFileRequest(const SshServer& server, const QString& folder,
                             const QString& localFile, const QString& knownHosts)
{
    UploadRequest request;
    request.site.host = QStringLiteral("127.0.0.1");
    request.site.port = server.port();
    request.site.user = server.user();
    request.site.folder = folder;
    request.site.fileName = QStringLiteral("diary.htm");
    request.site.signIn = SiteAddress::SignIn::KeyFile;
    request.site.keyFile = server.userKey();
    request.localPath = localFile;
    request.knownHosts = knownHosts;
    request.sshConfig = QFileInfo(knownHosts).dir().filePath(QStringLiteral("ssh_config"));
    return request;
}

Timing sendWithCurl(const FtpServer& server, const QString& localFile, const QString& remoteName,
                    const QString& remoteFile, const QByteArray& diary)
{
    Timing timing;
    QProcess curl;
    curl.setProcessChannelMode(QProcess::MergedChannels);
    const auto start = Timer::now();
    curl.start(QStringLiteral("curl"),
               {QStringLiteral("-sS"), QStringLiteral("--ssl-reqd"), QStringLiteral("-k"),
                QStringLiteral("-u"), server.user() + u':' + server.password(),
                QStringLiteral("-T"), localFile,
                QStringLiteral("ftp://127.0.0.1:%1/%2").arg(server.port()).arg(remoteName)});
    const bool finished = curl.waitForFinished(-1);
    timing.ms = msSince(start);
    timing.sent = finished && curl.exitStatus() == QProcess::NormalExit && curl.exitCode() == 0;
    if (!timing.sent)
        timing.problem = QStringLiteral("curl failed: ") + QString::fromLocal8Bit(curl.readAll());
    compare(timing, remoteFile, diary);
    return timing;
}

// The program's FTPS send beside curl's, to vsftpd as Debian ships it with TLS switched on. The
// certificate's key is pinned before the runs, as after the writer's first yes.
bool runFtpsBench(const UploadFunction upload, const QString& localFile, const QByteArray& diary,
                  const QString& pins, int runs)
{
    const UploadFunction lookUp = loadTransfer(lookUpOnSiteName);
    FtpServer server;
    if (const QString failure = server.start(); !lookUp || !failure.isEmpty()) {
        std::fprintf(stderr, "upload_bench: no FTPS server: %s\n", qPrintable(failure));
        return false;
    }
    const QString ours = server.makeFolder(QStringLiteral("pelmora"));
    const QString theirs = server.makeFolder(QStringLiteral("curl"));
    UploadRequest request;
    request.site.protocol = SiteAddress::Protocol::Ftps;
    request.site.host = QStringLiteral("127.0.0.1");
    request.site.port = server.port();
    request.site.user = server.user();
    request.site.folder = QStringLiteral("pelmora");
    request.site.fileName = QStringLiteral("diary.htm");
    request.secret = server.password();
    request.localPath = localFile;
    request.pinnedCertificates = pins;
    UploadHooks trust;
    trust.trustCertificate = [](const CertificateSeen&) { return true; };
    lookUp(request, trust);
    std::printf("vsftpd (defaults, TLS on) on 127.0.0.1:%d\n", server.port());
    bool allSame = true;
    for (int run = 1; run <= runs; ++run) {
        std::printf("run %d of %d\n", run, runs);
        const Timing program = sendWithProgram(upload, request, ours, diary);
        printTiming("Pelmora FTPS (libcurl)", program, diary.size());
        const Timing curl = sendWithCurl(server, localFile, QStringLiteral("curl/diary.htm"),
                                         theirs + QStringLiteral("/diary.htm"), diary);
        printTiming("curl --ssl-reqd -T", curl, diary.size());
        allSame = allSame && program.same && curl.same;
    }
    return allSame;
}

// How long a cancel takes to end a send whose server stopped answering half way.
void timeCancelOnStalledServer(UploadFunction upload, SshServer& server,
                               const UploadRequest& request)
{
    std::atomic_bool stalled = false;
    std::atomic_bool cancelled = false;
    UploadHooks hooks;
    hooks.cancelled = &cancelled;
    hooks.progress = [&](qint64 sent, qint64) {
        if (!stalled && sent > 5 * 1024 * 1024) {
            server.stall(true);
            stalled = true;
        }
    };
    UploadResult result;
    std::thread send([&] { result = upload(request, hooks); });
    while (!stalled)
        QThread::msleep(10);
    QThread::msleep(500);
    const auto start = Timer::now();
    cancelled = true;
    send.join();
    std::printf("cancel on a stalled server: %.1f ms until the send ended (%s)\n", msSince(start),
                result.outcome == UploadOutcome::Cancelled ? "cancelled" : "NOT CANCELLED");
    server.stall(false);
}

int runBench(qsizetype megabytes, int runs)
{
    const UploadFunction upload = loadTransfer();
    if (!upload)
        return 1;
    SshServer server;
    if (const QString failure = server.start(); !failure.isEmpty()) {
        std::fprintf(stderr, "upload_bench: no SSH server: %s\n", qPrintable(failure));
        return 1;
    }
    QFile::setPermissions(server.userKey(), QFile::ReadOwner | QFile::WriteOwner);
    QTemporaryDir local;
    const QString knownHosts = local.filePath(QStringLiteral("known_hosts"));
    const QString localFile = local.filePath(QStringLiteral("diary.htm"));
    const QByteArray diary = generateDiary(megabytes);
    if (!writeFile(knownHosts, server.knownHostsLine()) || !writeFile(localFile, diary)
        || !writeFile(local.filePath(QStringLiteral("ssh_config")), {})) {
        std::fprintf(stderr, "upload_bench: cannot write to %s\n", qPrintable(local.path()));
        return 1;
    }
    const QString ours = server.makeFolder(QStringLiteral("pelmora"));
    const QString theirs = server.makeFolder(QStringLiteral("sftp"));
    const UploadRequest request = keyFileRequest(server, ours, localFile, knownHosts);

    std::printf(
        "diary: %lld bytes (%.1f MB), OpenSSH sshd as Debian configures it on 127.0.0.1:%d\n",
        qlonglong(diary.size()), double(diary.size()) / (1024.0 * 1024.0), server.port());
    bool allSame = true;
    for (int run = 1; run <= runs; ++run) {
        std::printf("run %d of %d\n", run, runs);
        const Timing program = sendWithProgram(upload, request, ours, diary);
        printTiming("Pelmora (OpenSSH ssh)", program, diary.size());
        const Timing sftp =
            sendWithSftp(server, knownHosts, localFile, theirs + QStringLiteral("/diary.htm"),
                         diary, local.filePath(QStringLiteral("batch")));
        printTiming("OpenSSH sftp -b", sftp, diary.size());
        allSame = allSame && program.same && sftp.same;
    }
    allSame = runFtpsBench(upload, localFile, diary, local.filePath(QStringLiteral("pins")), runs)
              && allSame;
    allSame = timeLinkedFiles(upload, server, request, local.path(), knownHosts) && allSame;
    timeCancelOnStalledServer(upload, server, request);
    return allSame ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const qsizetype megabytes = argc > 1 ? std::atoi(argv[1]) : 50;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 1;
    if (megabytes < 1 || runs < 1) {
        std::fprintf(stderr, "usage: upload_bench [megabytes] [runs]\n");
        return 2;
    }
    return runBench(megabytes, runs);
}
