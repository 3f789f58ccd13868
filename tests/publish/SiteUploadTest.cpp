#include "publish/SiteUpload.h"
#include "SiteTest.h"
#include "app/TMainForm.h"
#include "publish/Publisher.h"
#include "publish/UploadMessages.h"
#include "support/ChildEnvironment.h"
#include "support/FakePlatform.h"

#include <QAction>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

#include <memory>
#include <thread>

namespace {

// The program with the diary of a send open, its site the test server's as kept for it, no
// secret store on the desktop, and the test's known_hosts and ssh configuration.
struct DiaryProgram {
    DiaryProgram(const UploadRequest& sent, const QByteArray& diary, const QString& knownHosts,
                 const QString& sshConfig)
    {
        fake.files.files.insert(sent.localPath, diary);
        fake.keyStore.present = true;
        EXPECT_TRUE(savePublishSettings(fake.keyStore, sent.localPath, {sent.site, false}));
        form.state().FirstPageChangeFlag = FirstPageChange::Never;
        form.show();
        form.openGivenFile(sent.localPath);
        form.publisher()->loadSecrets = [] { return nullptr; };
        form.publisher()->knownHosts = knownHosts;
        form.publisher()->sshConfig = sshConfig;
    }
    FakePlatform fake;
    TMainForm form{fake.platform()};
};

// No ssh-agent for the sends while it lives.
struct NoAgent {
    NoAgent() { qunsetenv("SSH_AUTH_SOCK"); }
    ~NoAgent()
    {
        if (!before.isEmpty())
            qputenv("SSH_AUTH_SOCK", before);
    }
    const QByteArray before = qgetenv("SSH_AUTH_SOCK");
};

class SftpSiteTest : public SiteTest<SshServer> {
protected:
    void SetUp() override
    {
        SiteTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        knownHosts = local.filePath(QStringLiteral("known_hosts"));
        writeAll(knownHosts, server->knownHostsLine());
        // ssh reads this file instead of root's own ~/.ssh/config and the system's.
        sshConfig = local.filePath(QStringLiteral("ssh_config"));
        writeAll(sshConfig, {});
    }

    UploadRequest request(const QString& folder, const QByteArray& bytes)
    {
        UploadRequest request = SiteTest::request(folder, bytes);
        request.knownHosts = knownHosts;
        request.sshConfig = sshConfig;
        return request;
    }

    // The same by the user's key of the type.
    UploadRequest requestByKey(const QString& folder, const QString& type)
    {
        UploadRequest sent = request(folder, shiftJisDiary(20));
        sent.site.signIn = SiteAddress::SignIn::KeyFile;
        sent.site.keyFile = server->userKey(type);
        sent.secret.clear();
        return sent;
    }

    // Whether OpenSSH's own sftp, with the same files and strict host key checking, signs in
    // and lists the folder.
    bool sftpSignsIn(const UploadRequest& request)
    {
        const QString port =
            request.site.port == 22 ? QStringLiteral("22") : QString::number(request.site.port);
        const QString where = request.site.user.isEmpty()
                                  ? request.site.host
                                  : request.site.user + u'@' + request.site.host;
        QStringList arguments = {
            QStringLiteral("-F"), sshConfig,
            QStringLiteral("-b"), QStringLiteral("-"),
            QStringLiteral("-o"), QStringLiteral("UserKnownHostsFile=") + knownHosts,
            QStringLiteral("-o"), QStringLiteral("StrictHostKeyChecking=yes"),
            QStringLiteral("-o"), QStringLiteral("BatchMode=yes")};
        if (!request.site.keyFile.isEmpty())
            arguments << QStringLiteral("-i") << request.site.keyFile;
        if (request.site.port != 22)
            arguments << QStringLiteral("-P") << port;
        return runTool(QStringLiteral("sftp"), arguments << where,
                       "ls " + request.site.folder.toUtf8() + '\n');
    }

    QString knownHosts;
    QString sshConfig;
};

TEST_F(SftpSiteTest, SendsTheDiaryByteForByteOverTheOldOne)
{
    struct Row {
        const char* name;
        QString folder; // under the user's home
        bool fromRoot;
        SiteAddress::SignIn signIn;
    };
    const Row rows[] = {
        {"password, folder from the login folder", QStringLiteral("日記/公開 2"), false,
         SiteAddress::SignIn::Password},
        {"key file, folder from the root", QStringLiteral("ルート"), true,
         SiteAddress::SignIn::KeyFile},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const QString folder = server->makeFolder(row.folder);
        ASSERT_FALSE(folder.isEmpty());
        writeAll(folder + QStringLiteral("/site.htm"), "old diary");
        const QByteArray diary = shiftJisDiary(200);
        UploadRequest sent = request(row.fromRoot ? folder : row.folder, diary);
        sent.site.signIn = row.signIn;
        if (row.signIn == SiteAddress::SignIn::KeyFile) {
            sent.site.keyFile = server->userKey();
            sent.secret.clear();
        }
        const UploadResult result = uploadToSite(sent, {});
        EXPECT_EQ(result.outcome, UploadOutcome::Sent) << result.detail.toStdString();
        EXPECT_EQ(readAll(folder + QStringLiteral("/site.htm")), diary);
        EXPECT_EQ(remoteFiles(folder), QStringList{QStringLiteral("site.htm")});
    }
}

TEST_F(SftpSiteTest, ANewHostIsAskedAboutOnceAndAChangedOneRefused)
{
    const QString folder = server->makeFolder(QStringLiteral("keys"));
    QList<HostKeySeen> asked;
    UploadHooks hooks;
    bool answer = false;
    hooks.trustNewHost = [&](const HostKeySeen& seen) {
        asked.append(seen);
        return answer;
    };

    writeAll(knownHosts, {});
    const UploadRequest sent = request(QStringLiteral("keys"), shiftJisDiary());
    EXPECT_EQ(uploadToSite(sent, hooks).outcome, UploadOutcome::HostKeyRefused);
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0].fingerprint, server->fingerprint());
    EXPECT_EQ(asked[0].keyType, QStringLiteral("ED25519"));
    EXPECT_EQ(readAll(knownHosts), QByteArray());
    EXPECT_TRUE(remoteFiles(folder).isEmpty());

    answer = true;
    EXPECT_EQ(uploadToSite(sent, hooks).outcome, UploadOutcome::Sent);
    EXPECT_EQ(readAll(knownHosts), server->knownHostsLine());
    EXPECT_EQ(uploadToSite(sent, hooks).outcome, UploadOutcome::Sent);
    EXPECT_EQ(asked.size(), 2); // known from the second send on

    writeAll(folder + QStringLiteral("/site.htm"), "old diary");
    writeAll(knownHosts, "# kept\n" + server->otherKnownHostsLine());
    EXPECT_EQ(uploadToSite(sent, hooks).outcome, UploadOutcome::HostKeyChanged);
    EXPECT_EQ(asked.size(), 2);
    EXPECT_EQ(readAll(folder + QStringLiteral("/site.htm")), "old diary");
    EXPECT_EQ(remoteFiles(folder), QStringList{QStringLiteral("site.htm")});
    EXPECT_EQ(readAll(knownHosts), "# kept\n" + server->otherKnownHostsLine());
}

// The writer's known_hosts may hold lines the SSH library cannot read (a line cut short, a
// security key's type, a certificate authority): the host's own line after them still counts,
// a changed key after them is still refused, and a key added on the writer's yes never joins
// the file's last line when that has no line end.
TEST_F(SftpSiteTest, KnownHostsLinesTheLibraryCannotReadDoNotHideTheHostsKey)
{
    const QString folder = server->makeFolder(QStringLiteral("unread"));
    const UploadRequest sent = request(QStringLiteral("unread"), shiftJisDiary());
    const QByteArray unreadable =
        "other.example sk-ssh-ed25519@openssh.com "
        "AAAAGnNrLXNzaC1lZDI1NTE5QG9wZW5zc2guY29tAAAAIA==\n"
        "@cert-authority *.example ssh-ed25519 "
        "AAAAC3NzaC1lZDI1NTE5AAAAIE4Q6eQMQAAqw0bhWTW8Sh+hD2Jh3fx2tw3CmSSPzP0e\n"
        "half a line\n";
    struct Row {
        const char* name;
        QByteArray file;
        UploadOutcome outcome;
        int asked;
        QByteArray after; // the file after the send
    };
    const QByteArray known = server->knownHostsLine();
    const QByteArray other = server->otherKnownHostsLine();
    const QByteArray lastWithoutEnd = "# no line end";
    const Row rows[] = {
        {"known after them", unreadable + known, UploadOutcome::Sent, 0, unreadable + known},
        {"changed after them", unreadable + other, UploadOutcome::HostKeyChanged, 0,
         unreadable + other},
        {"new, added after a last line without its end", unreadable + lastWithoutEnd,
         UploadOutcome::Sent, 1, unreadable + lastWithoutEnd + '\n' + known},
    };
    for (const Row& row : rows) {
        writeAll(knownHosts, row.file);
        int asked = 0;
        UploadHooks hooks;
        hooks.trustNewHost = [&](const HostKeySeen&) { return ++asked > 0; };
        const UploadResult result = uploadToSite(sent, hooks);
        EXPECT_EQ(result.outcome, row.outcome) << row.name << ": " << result.detail.toStdString();
        EXPECT_EQ(asked, row.asked) << row.name;
        EXPECT_EQ(readAll(knownHosts), row.after) << row.name;
    }
    EXPECT_EQ(remoteFiles(folder), QStringList{QStringLiteral("site.htm")});
}

TEST_F(SftpSiteTest, EachFailureIsToldApart)
{
    server->makeFolder(QStringLiteral("failures"));
    struct Row {
        const char* name;
        std::function<void(UploadRequest&)> change;
        UploadOutcome outcome;
    };
    const Row rows[] = {
        {"wrong password", [](UploadRequest& r) { r.secret += u'x'; },
         UploadOutcome::WrongPassword},
        {"no such folder", [](UploadRequest& r) { r.site.folder = QStringLiteral("nowhere"); },
         UploadOutcome::FolderMissing},
        {"host not found",
         [](UploadRequest& r) { r.site.host = QStringLiteral("no-such-host.invalid"); },
         UploadOutcome::HostNotFound},
        {"nothing listens", [](UploadRequest& r) { r.site.port = 1; },
         UploadOutcome::ConnectionRefused},
        {"no local file", [](UploadRequest& r) { r.localPath += u'x'; },
         UploadOutcome::LocalFileUnreadable},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        UploadRequest sent = request(QStringLiteral("failures"), shiftJisDiary());
        row.change(sent);
        const UploadResult result = uploadToSite(sent, {});
        EXPECT_EQ(result.outcome, row.outcome) << result.detail.toStdString();
    }
}

// A send stopped half way by the writer, or by the server dying, leaves the old file whole; the
// temporary file is removed then, or replaced by the next send.
TEST_F(SftpSiteTest, AStoppedSendLeavesTheOldFileWhole)
{
    const QString folder = server->makeFolder(QStringLiteral("stopped"));
    const QByteArray big = shiftJisDiary(20 * 1024 * 1024 / 40);
    const QString target = folder + QStringLiteral("/site.htm");
    writeAll(target, "old diary");
    const UploadRequest sent = request(QStringLiteral("stopped"), big);

    std::atomic_bool cancelled = false;
    UploadHooks hooks;
    hooks.cancelled = &cancelled;
    hooks.progress = [&](qint64 bytes, qint64 total) {
        EXPECT_EQ(total, big.size());
        cancelled = cancelled || bytes > 2 * 1024 * 1024;
    };
    EXPECT_EQ(uploadToSite(sent, hooks).outcome, UploadOutcome::Cancelled);
    EXPECT_EQ(readAll(target), "old diary");
    EXPECT_EQ(remoteFiles(folder), QStringList{QStringLiteral("site.htm")});

    // A server that stalls half way: the cancel still ends the send.
    std::atomic_bool stalled = false;
    cancelled = false;
    hooks.progress = [&](qint64 bytes, qint64) {
        if (!stalled && bytes > 2 * 1024 * 1024) {
            server->stall(true);
            stalled = true;
        }
    };
    std::thread canceller([&] {
        for (int wait = 0; wait < 3000 && !stalled; ++wait)
            QThread::msleep(10);
        QThread::msleep(300);
        cancelled = true;
    });
    EXPECT_EQ(uploadToSite(sent, hooks).outcome, UploadOutcome::Cancelled);
    canceller.join();
    server->stall(false);
    EXPECT_TRUE(stalled);
    EXPECT_EQ(readAll(target), "old diary");

    bool killed = false;
    hooks.cancelled = nullptr;
    hooks.progress = [&](qint64 bytes, qint64) {
        if (!killed && bytes > 5 * 1024 * 1024) {
            server->kill();
            killed = true;
        }
    };
    const UploadResult lost = uploadToSite(sent, hooks);
    EXPECT_TRUE(killed);
    EXPECT_EQ(lost.outcome, UploadOutcome::ConnectionLost) << lost.detail.toStdString();
    EXPECT_EQ(readAll(target), "old diary");

    ASSERT_EQ(server->restart(), QString());
    EXPECT_EQ(uploadToSite(sent, {}).outcome, UploadOutcome::Sent);
    EXPECT_TRUE(readAll(target) == big);
    EXPECT_EQ(remoteFiles(folder), QStringList{QStringLiteral("site.htm")});
}

// The writer's way: Ctrl+U's command on the open diary, the new host's fingerprint answered,
// the password typed; the result line tells, and the password is nowhere it could stay.
TEST_F(SftpSiteTest, TheSendCommandSendsTheOpenDiary)
{
    const QString folder = server->makeFolder(QStringLiteral("menu"));
    const QByteArray diary = shiftJisDiary(10);
    const UploadRequest sent = request(QStringLiteral("menu"), diary);
    FakePlatform fake;
    fake.files.files.insert(sent.localPath, diary);
    PublishSettings settings{sent.site, false};
    fake.keyStore.present = true;
    ASSERT_TRUE(savePublishSettings(fake.keyStore, sent.localPath, settings));
    TMainForm form(fake.platform());
    form.state().FirstPageChangeFlag = FirstPageChange::Never;
    form.show();
    form.openGivenFile(sent.localPath);
    QStringList prompts;
    SecretKeeping offered = SecretKeeping::Offered;
    form.publisher()->askSecret = [&](const QString& prompt, SecretKeeping keeping) {
        prompts.append(prompt);
        offered = keeping;
        // "Keep" ticked where there is no keyring: nothing may be kept anywhere.
        return std::optional<SecretAnswer>({server->password(), true});
    };
    form.publisher()->loadSecrets = [] { return nullptr; }; // no secret store on this desktop
    // A writer without ~/.ssh yet: made for its owner only, as ssh makes it.
    knownHosts = local.filePath(QStringLiteral(".ssh/known_hosts"));
    form.publisher()->knownHosts = knownHosts;
    form.publisher()->sshConfig = sshConfig;
    fake.files.readOnly.insert(knownHosts);

    fake.messages.answer({MsgAnswer::Yes}); // the new host's key
    QAction* send = form.findChild<QAction*>(QStringLiteral("PublishSend"));
    ASSERT_TRUE(send && send->isEnabled());
    EXPECT_EQ(send->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_U));
    send->trigger();
    EXPECT_FALSE(send->isEnabled()); // one send at a time
    auto* result = form.findChild<QLabel*>(QStringLiteral("PublishResult"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return result->text().startsWith(u"送信しました"); }, 20000))
        << result->text().toStdString();
    EXPECT_EQ(readAll(folder + QStringLiteral("/site.htm")), diary);
    EXPECT_EQ(prompts.size(), 1);
    EXPECT_EQ(offered, SecretKeeping::NoStore);
    ASSERT_EQ(fake.messages.shown.size(), 1);
    EXPECT_TRUE(fake.messages.shown[0].text.contains(server->fingerprint()));
    // known_hosts that cannot be written is told in the question (tests run as root: the seam).
    EXPECT_TRUE(fake.messages.shown[0].text.contains(u"書き込めないため、鍵は記録されません"));
    EXPECT_TRUE(send->isEnabled());
    for (const auto& value : fake.keyStore.values)
        EXPECT_FALSE(value.text.contains(server->password()));
    EXPECT_FALSE(readAll(knownHosts).contains(server->password().toUtf8()));
    EXPECT_EQ(QFileInfo(local.filePath(QStringLiteral(".ssh"))).permissions() & 0x7777,
              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser
                  | QFile::WriteUser | QFile::ExeUser);

    // known_hosts that cannot be read (the seam again): the question says the key's earlier
    // record cannot be checked.
    writeAll(knownHosts, {});
    fake.files.files.insert(knownHosts, {});
    fake.files.unreadable.insert(knownHosts);
    fake.messages.answer({MsgAnswer::Yes});
    send->trigger();
    EXPECT_TRUE(QTest::qWaitFor([&] { return send->isEnabled(); }, 20000));
    ASSERT_EQ(fake.messages.shown.size(), 2);
    EXPECT_TRUE(fake.messages.shown[1].text.contains(u"を読めないため"))
        << fake.messages.shown[1].text.toStdString();

    // Without its library the send says why, asks nothing and sends nothing.
    form.publisher()->loadTransfer = [](const char*, QString& error) {
        error = QStringLiteral("not found");
        return UploadFunction(nullptr);
    };
    writeAll(folder + QStringLiteral("/site.htm"), "old");
    fake.messages.answer({MsgAnswer::Ok});
    send->trigger();
    ASSERT_EQ(fake.messages.shown.size(), 3);
    EXPECT_TRUE(fake.messages.shown[2].text.contains(transferLibraryName));
    EXPECT_EQ(prompts.size(), 2);
    EXPECT_EQ(readAll(folder + QStringLiteral("/site.htm")), "old");
}

// "送る前に確認": the look-up tells the file the diary would replace, or that there is none,
// and changes nothing on the site; the question shows it, a no sends nothing, a yes sends.
TEST_F(SftpSiteTest, TheCheckShowsTheFileOnTheSiteAndSendsOnlyOnYes)
{
    const QString folder = server->makeFolder(QStringLiteral("check"));
    const QByteArray diary = shiftJisDiary(30);
    const UploadRequest sent = request(QStringLiteral("check"), diary);
    const UploadResult missing = lookUpOnSite(sent, {});
    EXPECT_EQ(missing.outcome, UploadOutcome::LookedUp) << missing.detail.toStdString();
    EXPECT_FALSE(missing.remote.exists);
    UploadRequest nowhere = sent; // a folder missing is told before the send, not after
    nowhere.site.folder = QStringLiteral("nowhere");
    EXPECT_EQ(lookUpOnSite(nowhere, {}).outcome, UploadOutcome::FolderMissing);
    const QString target = folder + QStringLiteral("/site.htm");
    writeAll(target, QByteArray(12345, 'x'));
    const QDateTime written = QFileInfo(target).lastModified();
    const UploadResult found = lookUpOnSite(sent, {});
    EXPECT_EQ(found.outcome, UploadOutcome::LookedUp) << found.detail.toStdString();
    EXPECT_TRUE(found.remote.exists);
    EXPECT_EQ(found.remote.size, 12345);
    EXPECT_LE(qAbs(found.remote.modified.secsTo(written)), 1);
    UploadRequest wrong = sent;
    wrong.secret += QStringLiteral("-wrong");
    EXPECT_EQ(lookUpOnSite(wrong, {}).outcome, UploadOutcome::WrongPassword);
    EXPECT_EQ(remoteFiles(folder), QStringList{QStringLiteral("site.htm")});

    DiaryProgram program(sent, diary, knownHosts, sshConfig);
    FakePlatform& fake = program.fake;
    TMainForm& form = program.form;
    int asked = 0;
    form.publisher()->askSecret = [&](const QString&, SecretKeeping) {
        ++asked;
        return std::optional<SecretAnswer>({server->password(), false});
    };
    QAction* check = form.findChild<QAction*>(QStringLiteral("PublishCheck"));
    auto* result = form.findChild<QLabel*>(QStringLiteral("PublishResult"));
    for (const MsgAnswer answer : {MsgAnswer::No, MsgAnswer::Yes}) {
        fake.messages.answer({answer});
        check->trigger();
        EXPECT_TRUE(QTest::qWaitFor([&] { return fake.messages.shown.size() == 1; }, 20000));
        ASSERT_EQ(fake.messages.shown.size(), 1);
        EXPECT_TRUE(fake.messages.shown[0].text.contains(QLocale().toString(12345)))
            << fake.messages.shown[0].text.toStdString();
        fake.messages.shown.clear();
        if (answer == MsgAnswer::No) {
            QTest::qWait(200);
            EXPECT_EQ(readAll(target), QByteArray(12345, 'x'));
        }
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return result->text().startsWith(u"送信しました"); }, 20000))
        << result->text().toStdString();
    EXPECT_EQ(readAll(target), diary);
    EXPECT_EQ(asked, 2); // once for each check; the send after a yes keeps the one given
}

// A changed host key: the warning shows the server's key beside the one kept, with the file and
// line that hold it, and offers to replace it (No by default); only a yes replaces the line and
// sends.
TEST_F(SftpSiteTest, AChangedHostKeyIsReplacedOnlyOnTheWritersYes)
{
    const QString folder = server->makeFolder(QStringLiteral("changed"));
    const QByteArray diary = shiftJisDiary(2);
    const UploadRequest sent = request(QStringLiteral("changed"), diary);
    const QByteArray old = "# kept\n" + server->otherKnownHostsLine();
    writeAll(knownHosts, old);
    DiaryProgram program(sent, diary, knownHosts, sshConfig);
    FakePlatform& fake = program.fake;
    TMainForm& form = program.form;
    form.publisher()->askSecret = [&](const QString&, SecretKeeping) {
        return std::optional<SecretAnswer>({server->password(), false});
    };
    auto* result = form.findChild<QLabel*>(QStringLiteral("PublishResult"));
    const QString oldKey =
        keyFingerprint(QByteArray::fromBase64(server->otherKnownHostsLine().split(' ').value(2)));
    for (const MsgAnswer answer : {MsgAnswer::No, MsgAnswer::Yes}) {
        fake.messages.answer({answer});
        form.publisher()->PublishSendClick();
        EXPECT_TRUE(QTest::qWaitFor([&] { return form.publisher()->sendOffered(); }, 20000));
        ASSERT_EQ(fake.messages.shown.size(), 1);
        const Message warning = fake.messages.shown.takeFirst();
        EXPECT_TRUE(warning.text.contains(server->fingerprint())) << warning.text.toStdString();
        EXPECT_TRUE(warning.text.contains(oldKey));
        EXPECT_TRUE(warning.text.contains(knownHosts + QStringLiteral(" の 2 行目")));
        EXPECT_EQ(warning.defaultButton, MsgAnswer::No);
        if (answer == MsgAnswer::No) {
            EXPECT_EQ(readAll(knownHosts), old);
            EXPECT_TRUE(remoteFiles(folder).isEmpty());
        }
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return result->text().startsWith(u"送信しました"); }, 20000))
        << result->text().toStdString();
    EXPECT_EQ(readAll(folder + QStringLiteral("/site.htm")), diary);
    EXPECT_EQ(readAll(knownHosts), "# kept\n" + server->knownHostsLine());
}

// Closing the program while a send waits on a server that does not answer asks first; a no keeps
// the window and the send, a yes stops the send and closes, leaving nothing on the site.
TEST_F(SftpSiteTest, ClosingWhileASendRunsAsksAndStopsIt)
{
    const QString folder = server->makeFolder(QStringLiteral("closing"));
    const QByteArray diary = shiftJisDiary(10);
    const UploadRequest sent = request(QStringLiteral("closing"), diary);
    DiaryProgram program(sent, diary, knownHosts, sshConfig);
    FakePlatform& fake = program.fake;
    TMainForm& form = program.form;
    form.publisher()->askSecret = [&](const QString&, SecretKeeping) {
        return std::optional<SecretAnswer>({server->password(), false});
    };
    server->stall(true);
    form.publisher()->PublishSendClick();
    fake.messages.answer({MsgAnswer::No, MsgAnswer::Yes, MsgAnswer::Ok});
    EXPECT_FALSE(form.close());
    EXPECT_FALSE(form.publisher()->sendOffered());
    EXPECT_TRUE(form.close());
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.publisher()->sendOffered(); }, 10000));
    server->stall(false);
    ASSERT_EQ(fake.messages.shown.size(), 3);
    EXPECT_TRUE(fake.messages.shown[0].text.contains(u"送信を中止して終了しますか"));
    EXPECT_EQ(fake.messages.shown[0].defaultButton, MsgAnswer::No);
    EXPECT_TRUE(fake.messages.shown[2].text.startsWith(u"送信を中止しました"));
    EXPECT_TRUE(remoteFiles(folder).isEmpty());
}

// Every file under the folder that holds the bytes, by path.
QStringList filesHolding(const QString& folder, const QByteArray& bytes)
{
    QStringList found;
    QDirIterator files(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        if (readAll(path).contains(bytes))
            found << path;
    }
    return found;
}

// What the program printed, sending in a child process with a desktop keyring of its own.
struct ChildRun {
    QByteArray output;
    QByteArray errors;
    QStringList lines;
    int exitCode = -1;
};

// Runs the program (publish_child) on `diaryPath` with GNOME Keyring's Secret Service on a
// private session bus, unlocked at start, in the throw-away `home`; `scenario` picks what the
// child does (empty: three sends). No display: the keyring's unlock window, when the keyring
// asks for one, cannot open, which the keyring takes as the writer's cancel.
ChildRun runWithKeyring(const UploadRequest& sent, const QString& password,
                        const QString& knownHosts, const QTemporaryDir& home,
                        const QString& scenario)
{
    const QString runtime = home.filePath(QStringLiteral("run"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QProcessEnvironment environment = childEnvironment(home.filePath(QStringLiteral("state")),
                                                       home.filePath(QStringLiteral("config")));
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    const QList<std::pair<const char*, QString>> values = {
        {"HOME", home.path()},
        {"XDG_DATA_HOME", home.filePath(QStringLiteral("data"))},
        {"XDG_RUNTIME_DIR", runtime},
        {"KEYRING_UNLOCK", QStringLiteral("unlock-the-test-keyring")},
        {"PUBLISH_SCENARIO", scenario},
        {"PUBLISH_HOST", sent.site.host},
        {"PUBLISH_PORT", QString::number(sent.site.port)},
        {"PUBLISH_USER", sent.site.user},
        {"PUBLISH_FOLDER", sent.site.folder},
        {"PUBLISH_PASSWORD", password},
        {"PUBLISH_KNOWN_HOSTS", knownHosts},
    };
    for (const auto& [name, value] : values)
        environment.insert(QLatin1String(name), value);
    QProcess child;
    child.setProcessEnvironment(environment);
    child.start(QStandardPaths::findExecutable(QStringLiteral("dbus-run-session")),
                {QStringLiteral("--"), QStringLiteral("sh"), QStringLiteral("-c"),
                 QStringLiteral("printf %s \"$KEYRING_UNLOCK\" | gnome-keyring-daemon "
                                "--unlock --components=secrets >/dev/null"
                                " && exec \"$0\" \"$@\""),
                 QStringLiteral(PUBLISH_CHILD), sent.localPath});
    ChildRun run;
    if (!child.waitForFinished(120000))
        child.kill();
    run.output = child.readAllStandardOutput();
    run.errors = child.readAllStandardError();
    run.lines = QString::fromUtf8(run.output).split(u'\n', Qt::SkipEmptyParts);
    run.exitCode = child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1;
    return run;
}

bool keyringAtHand()
{
    return !QStandardPaths::findExecutable(QStringLiteral("dbus-run-session")).isEmpty()
           && !QStandardPaths::findExecutable(QStringLiteral("gnome-keyring-daemon")).isEmpty();
}

// The real program with a desktop keyring of its own. A wrong password kept there is refused by
// the server and forgotten; the right one, typed once with "keep", is used by the next send
// without asking; the password is never written where the program keeps its files, nor printed.
TEST_F(SftpSiteTest, APasswordKeptInTheDesktopKeyringIsUsedAndAWrongOneForgotten)
{
    if (!keyringAtHand() && SshServer::skipAllowed())
        GTEST_SKIP() << "no dbus-run-session or gnome-keyring-daemon";
    ASSERT_TRUE(keyringAtHand());
    const QString folder = server->makeFolder(QStringLiteral("keyring"));
    const QByteArray diary = shiftJisDiary(20);
    const UploadRequest sent = request(QStringLiteral("keyring"), diary);
    QTemporaryDir home;
    const ChildRun run = runWithKeyring(sent, server->password(), knownHosts, home, {});
    const QStringList& lines = run.lines;
    const QByteArray& output = run.output;
    ASSERT_EQ(run.exitCode, 0) << output.constData() << run.errors.constData();

    const QStringList asked = lines.filter(QRegularExpression(QStringLiteral("^asked ")));
    EXPECT_EQ(asked, (QStringList{QStringLiteral("asked 0"), QStringLiteral("asked 1"),
                                  QStringLiteral("asked 1")}))
        << output.constData();
    EXPECT_EQ(lines.filter(QStringLiteral("キーリングに記録していたものは消しました")).size(), 1)
        << output.constData();
    EXPECT_EQ(lines.filter(QRegularExpression(QStringLiteral("^送信しました"))).size(), 2)
        << output.constData();
    EXPECT_TRUE(lines.contains(QStringLiteral("store offered"))) << output.constData();
    EXPECT_TRUE(lines.contains(QStringLiteral("kept"))) << output.constData();
    EXPECT_EQ(readAll(folder + QStringLiteral("/diary.htm")), diary); // the diary's own name

    const QByteArray password = server->password().toUtf8();
    EXPECT_FALSE(output.contains(password));
    EXPECT_FALSE(run.errors.contains(password));
    EXPECT_EQ(filesHolding(home.path(), password), QStringList());
    EXPECT_FALSE(readAll(knownHosts).contains(password));
}

// A locked keyring whose unlock the writer cancels: the desktop asks once, the password is asked
// with "keep" not offered and the window saying why, and the send goes through without the
// keyring asking again.
TEST_F(SftpSiteTest, ALockedKeyringLeftLockedIsNotOfferedForKeeping)
{
    if (!keyringAtHand() && SshServer::skipAllowed())
        GTEST_SKIP() << "no dbus-run-session or gnome-keyring-daemon";
    ASSERT_TRUE(keyringAtHand());
    const QString folder = server->makeFolder(QStringLiteral("locked"));
    const QByteArray diary = shiftJisDiary(7);
    const UploadRequest sent = request(QStringLiteral("locked"), diary);
    QTemporaryDir home;
    const ChildRun run =
        runWithKeyring(sent, server->password(), knownHosts, home, QStringLiteral("locked"));
    ASSERT_EQ(run.exitCode, 0) << run.output.constData() << run.errors.constData();
    EXPECT_EQ(run.lines.filter(QRegularExpression(QStringLiteral("^(store|no store)"))),
              QStringList{QStringLiteral("store locked")})
        << run.output.constData();
    EXPECT_TRUE(run.lines.contains(QStringLiteral("asked 1"))) << run.output.constData();
    EXPECT_EQ(run.lines.filter(QRegularExpression(QStringLiteral("^送信しました"))).size(), 1)
        << run.output.constData();
    EXPECT_FALSE(run.output.contains("キーリング")) << run.output.constData();
    // The session bus starts the keyring's unlock window once: for the unlock the writer left.
    EXPECT_EQ(run.errors.count("Activating service name='org.gnome.keyring.SystemPrompter'"), 1)
        << run.errors.constData();
    EXPECT_EQ(readAll(folder + QStringLiteral("/diary.htm")), diary);
}

// A known_hosts line for another host, with one of the server's public keys.
QByteArray otherHostLine(const QString& host, const QString& publicKeyFile)
{
    const QList<QByteArray> fields = readAll(publicKeyFile).split(' ');
    return host.toUtf8() + ' ' + fields.value(0) + ' ' + fields.value(1).trimmed() + '\n';
}

// known_hosts as OpenSSH writes it: hashed (ssh-keygen -H), other hosts' RSA and ECDSA keys
// first, revoked keys, a certificate authority. The send connects exactly when OpenSSH's sftp
// does, and asks only about a host the file does not know.
TEST_F(SftpSiteTest, KnownHostsAsOpenSshWritesThem)
{
    server->makeFolder(QStringLiteral("hosts"));
    const QByteArray others = otherHostLine(QStringLiteral("rsa.example"),
                                            server->userKey(QStringLiteral("rsa")) + ".pub")
                              + otherHostLine(QStringLiteral("[ecdsa.example]:2222"),
                                              server->userKey(QStringLiteral("ecdsa")) + ".pub");
    const QByteArray own = server->knownHostsLine();
    struct Row {
        const char* name;
        QByteArray file;
        bool hashed;
        UploadOutcome outcome;
        int asked;
    };
    const Row rows[] = {
        {"hashed, other hosts first", others + own, true, UploadOutcome::Sent, 0},
        {"hashed, a new host", others, true, UploadOutcome::Sent, 1},
        {"the host's RSA line first", server->knownHostsLine(QStringLiteral("rsa")) + own, false,
         UploadOutcome::Sent, 0},
        {"revoked beside the same key", "@revoked " + own + own, false,
         UploadOutcome::HostKeyRevoked, 0},
        {"revoked alone", "@revoked " + own, true, UploadOutcome::HostKeyRevoked, 0},
        {"certificate authority", others + server->certificateAuthorityLine(), false,
         UploadOutcome::Sent, 0},
        {"changed", server->otherKnownHostsLine(), true, UploadOutcome::HostKeyChanged, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        writeAll(knownHosts, row.file);
        if (row.hashed) {
            ASSERT_TRUE(
                runTool(QStringLiteral("ssh-keygen"), {QStringLiteral("-q"), QStringLiteral("-H"),
                                                       QStringLiteral("-f"), knownHosts}));
        }
        const UploadRequest sent = requestByKey(QStringLiteral("hosts"), QStringLiteral("ed25519"));
        if (row.asked == 0) { // OpenSSH's sftp as the oracle
            EXPECT_EQ(sftpSignsIn(sent), row.outcome == UploadOutcome::Sent);
        }
        int asked = 0;
        UploadHooks hooks;
        hooks.trustNewHost = [&](const HostKeySeen&) { return ++asked > 0; };
        const UploadResult result = uploadToSite(sent, hooks);
        EXPECT_EQ(result.outcome, row.outcome) << result.detail.toStdString();
        EXPECT_EQ(asked, row.asked);
        if (row.asked > 0) { // added as the file's other lines are: hashed
            EXPECT_TRUE(readAll(knownHosts).split('\n').value(2).startsWith("|1|"));
        }
    }
}

// RSA as OpenSSH 9 speaks it (rsa-sha2-256/512): a server with only an RSA host key, and the
// user's RSA key as a key file and in ssh-agent; ECDSA and ed25519 user keys alike.
TEST_F(SftpSiteTest, SignsInWithEveryKeyTypeToAnRsaOnlyServer)
{
    const QString folder = server->makeFolder(QStringLiteral("rsa"));
    ASSERT_EQ(server->offerHostKeys({QStringLiteral("rsa")}), QString());
    writeAll(knownHosts, server->knownHostsLine(QStringLiteral("rsa")));
    for (const QString& type :
         {QStringLiteral("rsa"), QStringLiteral("ecdsa"), QStringLiteral("ed25519")}) {
        SCOPED_TRACE(type.toStdString());
        const UploadResult result = uploadToSite(requestByKey(QStringLiteral("rsa"), type), {});
        EXPECT_EQ(result.outcome, UploadOutcome::Sent) << result.detail.toStdString();
    }

    const QString socket = local.filePath(QStringLiteral("agent"));
    QProcess agent;
    agent.start(QStringLiteral("ssh-agent"), {QStringLiteral("-D"), QStringLiteral("-a"), socket});
    ASSERT_TRUE(agent.waitForStarted());
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(socket); }, 5000));
    const QByteArray before = qgetenv("SSH_AUTH_SOCK");
    qputenv("SSH_AUTH_SOCK", socket.toUtf8());
    EXPECT_TRUE(runTool(QStringLiteral("ssh-add"), {server->userKey(QStringLiteral("rsa"))}));
    UploadRequest byAgent = request(QStringLiteral("rsa"), shiftJisDiary(3));
    byAgent.site.signIn = SiteAddress::SignIn::Agent;
    const UploadResult result = uploadToSite(byAgent, {});
    qputenv("SSH_AUTH_SOCK", before);
    agent.kill();
    agent.waitForFinished();
    EXPECT_EQ(result.outcome, UploadOutcome::Sent) << result.detail.toStdString();
    EXPECT_EQ(readAll(folder + QStringLiteral("/site.htm")), shiftJisDiary(3));
    ASSERT_EQ(server->offerHostKeys(
                  {QStringLiteral("rsa"), QStringLiteral("ecdsa"), QStringLiteral("ed25519")}),
              QString());
}

// A Host alias of the writer's ssh configuration, with its HostName, User, Port, IdentityFile
// and a ProxyJump through a second server, works in the server field as in "sftp alias".
TEST_F(SftpSiteTest, AnAliasOfTheWritersSshConfigWorksAsInSftp)
{
    SshServer jump(QStringLiteral("jump"));
    ASSERT_EQ(jump.start(), QString());
    const QString folder = server->makeFolder(QStringLiteral("alias"));
    writeAll(knownHosts, server->knownHostsLine() + jump.knownHostsLine());
    writeAll(sshConfig, QStringLiteral("Host *\n  UserKnownHostsFile %1\n"
                                       "Host diary\n  HostName 127.0.0.1\n  Port %2\n  User %3\n"
                                       "  IdentityFile %4\n  ProxyJump hop\n"
                                       "Host hop\n  HostName 127.0.0.1\n  Port %5\n  User %6\n"
                                       "  IdentityFile %7\n")
                            .arg(knownHosts)
                            .arg(server->port())
                            .arg(server->user(), server->userKey(QStringLiteral("rsa")))
                            .arg(jump.port())
                            .arg(jump.user(), jump.userKey())
                            .toUtf8());
    UploadRequest sent = request(QStringLiteral("alias"), shiftJisDiary(5));
    sent.site.host = QStringLiteral("diary");
    sent.site.port = 22;
    sent.site.user.clear();
    sent.site.signIn = SiteAddress::SignIn::Agent;
    EXPECT_TRUE(sftpSignsIn(sent));
    const UploadResult result = uploadToSite(sent, {});
    EXPECT_EQ(result.outcome, UploadOutcome::Sent) << result.detail.toStdString();
    EXPECT_EQ(readAll(folder + QStringLiteral("/site.htm")), shiftJisDiary(5));
}

// ssh-agent's way of signing in, with a key of the writer's ssh configuration that has a
// passphrase and is not in the agent: ssh asks for the passphrase, and the writer is asked with
// the key named, as sftp asks in a terminal. A wrong one is told as such, a cancel ends the send;
// neither leaves anything on the site.
TEST_F(SftpSiteTest, APassphraseOfAKeyNotInTheAgentIsAskedFromTheWriter)
{
    const QString folder = server->makeFolder(QStringLiteral("agentkey"));
    const QString target = folder + QStringLiteral("/site.htm");
    writeAll(sshConfig, "IdentityFile \"" + server->passphraseKey().toUtf8() + "\"\n");
    const NoAgent noAgent; // the key is only in its file
    const QByteArray diary = shiftJisDiary(6);
    UploadRequest sent = request(QStringLiteral("agentkey"), diary);
    sent.site.signIn = SiteAddress::SignIn::Agent;
    DiaryProgram program(sent, diary, knownHosts, sshConfig);
    struct Row {
        const char* name;
        std::optional<QString> answer;
        const char16_t* told; // a part of the failure's message; null: sent
    };
    const Row rows[] = {
        {"wrong", QStringLiteral("wrong"), u"パスフレーズが違う"},
        {"cancelled", std::nullopt, u"送信を中止しました"},
        {"right", SshServer::keyPassphrase(), nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        writeAll(target, "old diary");
        program.fake.messages.shown.clear();
        QStringList prompts;
        program.form.publisher()->askSecret = [&](const QString& prompt, SecretKeeping keeping) {
            prompts.append(prompt);
            EXPECT_EQ(keeping, SecretKeeping::AgentKey);
            return row.answer ? std::optional<SecretAnswer>({*row.answer, true}) : std::nullopt;
        };
        program.fake.messages.answer({MsgAnswer::Ok});
        program.form.findChild<QAction*>(QStringLiteral("PublishSend"))->trigger();
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return program.form.publisher()->sendOffered(); }, 20000));
        ASSERT_EQ(prompts.size(), 1);
        EXPECT_TRUE(prompts[0].contains(server->passphraseKey())) << prompts[0].toStdString();
        EXPECT_EQ(readAll(target), row.told ? "old diary" : diary);
        EXPECT_EQ(remoteFiles(folder), QStringList{QStringLiteral("site.htm")});
        ASSERT_EQ(program.fake.messages.shown.size(), row.told ? 1 : 0);
        if (row.told) {
            EXPECT_TRUE(program.fake.messages.shown[0].text.contains(QString::fromUtf16(row.told)))
                << program.fake.messages.shown[0].text.toStdString();
        }
    }
}

// The file on the site keeps its mode; a read-only one is replaced only on the writer's yes; a
// copy an earlier send set aside is put away; a folder reached through ".." is the folder sftp
// reaches.
TEST_F(SftpSiteTest, TheSiteKeepsItsDiaryAndItsMode)
{
    const QString folder = server->makeFolder(QStringLiteral("www"));
    const QString target = folder + QStringLiteral("/site.htm");
    const QString aside = folder + QStringLiteral("/.site.htm.pelmora-old");
    const QString up = QStringLiteral("../") + QFileInfo(server->home()).fileName() + "/www";
    struct Row {
        const char* name;
        QString folder;
        QFile::Permissions mode;
        bool setAside;
        bool replace; // the answer to the read-only question
        UploadOutcome outcome;
    };
    const QFile::Permissions readWrite = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    const Row rows[] = {
        {"0640 stays 0640", QStringLiteral("www"), readWrite, false, false, UploadOutcome::Sent},
        {"read-only kept", QStringLiteral("www"), readOnly, false, false,
         UploadOutcome::ReadOnlyKept},
        {"read-only replaced", QStringLiteral("www"), readOnly, false, true, UploadOutcome::Sent},
        {"a copy set aside", QStringLiteral("www"), readWrite, true, false, UploadOutcome::Sent},
        {"through ..", up, readWrite, false, false, UploadOutcome::Sent},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        writeAll(target, "old diary");
        QFile::setPermissions(target, row.mode);
        if (row.setAside)
            writeAll(aside, "older diary");
        int asked = 0;
        UploadHooks hooks;
        hooks.replaceReadOnly = [&](const QString&) { return ++asked > 0 && row.replace; };
        const UploadRequest sent = request(row.folder, shiftJisDiary(4));
        const UploadResult result = uploadToSite(sent, hooks);
        EXPECT_EQ(result.outcome, row.outcome) << result.detail.toStdString();
        EXPECT_EQ(asked, row.mode == readOnly ? 1 : 0);
        EXPECT_EQ(readAll(target),
                  row.outcome == UploadOutcome::Sent ? shiftJisDiary(4) : "old diary");
        EXPECT_EQ(QFile::permissions(target) & 0x7077, row.mode & 0x7077);
        EXPECT_EQ(remoteFiles(folder), QStringList{QStringLiteral("site.htm")});
    }
}

// A server whose disk is full says so, and the old diary and nothing else stays on it. Replacing
// needs room for both copies.
TEST_F(SftpSiteTest, AFullDiskIsToldAsSuch)
{
    const QString folder = server->makeFolder(QStringLiteral("full"));
    if (!runTool(QStringLiteral("mount"),
                 {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                  QStringLiteral("size=256k"), QStringLiteral("tmpfs"), folder})
        && SshServer::skipAllowed())
        GTEST_SKIP() << "cannot mount a small file system";
    server->makeFolder(QStringLiteral("full"));
    const QString target = folder + QStringLiteral("/site.htm");
    writeAll(target, QByteArray(100 * 1024, 'o'));
    const UploadResult result =
        uploadToSite(request(QStringLiteral("full"), QByteArray(200 * 1024, 'n')), {});
    EXPECT_EQ(result.outcome, UploadOutcome::DiskFull) << result.detail.toStdString();
    EXPECT_EQ(readAll(target), QByteArray(100 * 1024, 'o'));
    EXPECT_EQ(remoteFiles(folder), QStringList{QStringLiteral("site.htm")});
    EXPECT_TRUE(
        uploadFailureMessage(result, {}, {}, {}).startsWith(u"サーバーの空き容量が足りません"));
    runTool(QStringLiteral("umount"), {folder});
}

// The files the diary links go first over the one session, their folders made, each in place
// under its own name; the diary goes last.
TEST_F(SftpSiteTest, LinkedFilesGoBeforeTheDiaryInTheirFolders)
{
    const QString folder = server->makeFolder(QStringLiteral("linked"));
    UploadRequest sent = request(QStringLiteral("linked"), shiftJisDiary(5));
    const QByteArray picture = shiftJisDiary(3000);
    writeAll(local.filePath(QStringLiteral("1208.jpg")), picture);
    writeAll(local.filePath(QStringLiteral("diary.css")), "p {}");
    sent.linkedFiles = {
        {local.filePath(QStringLiteral("1208.jpg")), QStringLiteral("img/2026/1208.jpg"),
         picture.size()},
        {local.filePath(QStringLiteral("diary.css")), QStringLiteral("diary.css"), 4}};
    const UploadResult result = uploadToSite(sent, {});
    ASSERT_EQ(result.outcome, UploadOutcome::Sent) << result.detail.toStdString();
    EXPECT_EQ(result.sent, (QStringList{QStringLiteral("img/2026/1208.jpg"),
                                        QStringLiteral("diary.css"), QStringLiteral("site.htm")}));
    EXPECT_TRUE(readAll(folder + QStringLiteral("/img/2026/1208.jpg")) == picture);
    EXPECT_EQ(readAll(folder + QStringLiteral("/diary.css")), "p {}");
    EXPECT_EQ(remoteFiles(folder + QStringLiteral("/img/2026")),
              QStringList{QStringLiteral("1208.jpg")});
}

} // namespace
