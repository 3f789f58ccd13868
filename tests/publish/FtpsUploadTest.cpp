#include "FtpServer.h"
#include "SiteTest.h"
#include "app/TMainForm.h"
#include "document/DiaryDocument.h"
#include "document/DiaryFileTab.h"
#include "find/StatusLabel.h"
#include "platform/QtPlatform.h"
#include "publish/CertificatePins.h"
#include "publish/Certificates.h"
#include "publish/Publisher.h"
#include "publish/SiteUpload.h"
#include "publish/TPublishForm.h"
#include "publish/TSendRecordForm.h"
#include "publish/UploadMessages.h"
#include "support/FakePlatform.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace {

class FtpsSiteTest : public SiteTest<FtpServer> {
protected:
    void SetUp() override
    {
        SiteTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        pins = local.filePath(QStringLiteral("state/certificate_pins"));
        trustAll.trustCertificate = [](const CertificateSeen&) { return true; };
    }

    UploadRequest request(const QString& folder, const QByteArray& bytes)
    {
        UploadRequest request = SiteTest::request(folder, bytes);
        request.site.protocol = SiteAddress::Protocol::Ftps;
        request.pinnedCertificates = pins;
        return request;
    }

    QString pins;
    UploadHooks trustAll;
};

TEST_F(FtpsSiteTest, ASelfSignedCertificateIsAskedAboutOnceAndItsKeyPinned)
{
    const QString folder = server->makeFolder(QStringLiteral("日記/公開 2"));
    const QString target = folder + QStringLiteral("/site.htm");
    writeAll(target, "old diary");
    const QByteArray diary = shiftJisDiary(300);
    const UploadRequest sent = request(QStringLiteral("日記/公開 2"), diary);
    QList<CertificateSeen> asked;
    bool answer = false;
    UploadHooks hooks;
    hooks.trustCertificate = [&](const CertificateSeen& seen) {
        asked.append(seen);
        return answer;
    };

    EXPECT_EQ(uploadToSite(sent, hooks).outcome, UploadOutcome::CertificateRefused);
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0].fingerprint, server->fingerprint());
    EXPECT_EQ(asked[0].port, server->port());
    EXPECT_EQ(asked[0].subject, QStringLiteral("CN=127.0.0.1"));
    EXPECT_EQ(readAll(target), "old diary");
    EXPECT_FALSE(QFile::exists(pins));

    answer = true;
    const UploadResult result = uploadToSite(sent, hooks);
    EXPECT_EQ(result.outcome, UploadOutcome::Sent) << result.detail.toStdString();
    EXPECT_TRUE(readAll(target) == diary);
    EXPECT_EQ(remoteFiles(folder), QStringList{QStringLiteral("site.htm")});
    EXPECT_EQ(QFile::permissions(pins) & 0x0077, 0); // owner only
    EXPECT_EQ(uploadToSite(sent, hooks).outcome, UploadOutcome::Sent);
    EXPECT_EQ(asked.size(), 2); // pinned from the second send on

    // The check's look-up, over the pinned key: the file there with its size, or none.
    const UploadResult found = lookUpOnSite(sent, hooks);
    EXPECT_EQ(found.outcome, UploadOutcome::LookedUp) << found.detail.toStdString();
    EXPECT_TRUE(found.remote.exists);
    EXPECT_EQ(found.remote.size, diary.size());
    EXPECT_TRUE(found.remote.modified.isValid());
    UploadRequest other = sent;
    other.site.fileName = QStringLiteral("none.htm");
    const UploadResult none = lookUpOnSite(other, hooks);
    EXPECT_EQ(none.outcome, UploadOutcome::LookedUp) << none.detail.toStdString();
    EXPECT_FALSE(none.remote.exists);
    EXPECT_EQ(asked.size(), 2);

    // A new key for the same name is asked about beside the pinned one: a no sends nothing, a
    // yes replaces the pin. The pinned key in an expired certificate is refused without asking,
    // as is a certificate for another host even when nothing was pinned.
    writeAll(target, "old diary");
    const QByteArray firstPins = readAll(pins);
    const QString firstKey = asked[0].publicKeyFingerprint;
    ASSERT_EQ(server->restartWithCertificate(QStringLiteral("IP:127.0.0.1")), QString());
    answer = false;
    EXPECT_EQ(uploadToSite(sent, hooks).outcome, UploadOutcome::CertificateChanged);
    ASSERT_EQ(asked.size(), 3);
    EXPECT_EQ(asked[2].pinnedFingerprint, firstKey);
    EXPECT_EQ(asked[2].fingerprint, server->fingerprint());
    EXPECT_EQ(readAll(pins), firstPins);
    answer = true;
    EXPECT_EQ(uploadToSite(sent, hooks).outcome, UploadOutcome::Sent);
    EXPECT_EQ(pinFingerprint(pinnedKey(pins, sent.site.host, sent.site.port)),
              asked[3].publicKeyFingerprint);
    // The settings window shows the pinned key and forgets it.
    TPublishForm window;
    window.pinnedCertificates = pins;
    window.setSettings({sent.site, false});
    EXPECT_TRUE(window.CertificateNote->text().contains(asked[3].publicKeyFingerprint));
    window.ForgetCertificateBtn->click();
    EXPECT_TRUE(pinnedKey(pins, sent.site.host, sent.site.port).isEmpty());
    EXPECT_FALSE(window.ForgetCertificateBtn->isEnabled());
    ASSERT_TRUE(keepPin(pins, sent.site.host, sent.site.port, publicKeyPin(asked[3])));
    writeAll(target, "old diary");
    ASSERT_EQ(server->restartWithExpiredCertificate(), QString());
    EXPECT_EQ(uploadToSite(sent, hooks).outcome, UploadOutcome::CertificateRefused);
    ASSERT_EQ(server->restartWithCertificate(QStringLiteral("DNS:other.example")), QString());
    QFile::remove(pins);
    EXPECT_EQ(uploadToSite(sent, hooks).outcome, UploadOutcome::CertificateRefused);
    EXPECT_EQ(asked.size(), 4);
    EXPECT_EQ(readAll(target), "old diary");
    EXPECT_EQ(remoteFiles(folder), QStringList{QStringLiteral("site.htm")});
    ASSERT_EQ(server->restartWithCertificate(QStringLiteral("IP:127.0.0.1")), QString());
}

// vsftpd's defaults require each data connection to resume the control connection's TLS
// session: every send in a row goes through, each of them whole.
TEST_F(FtpsSiteTest, SendsInARowResumeTheTlsSessionAsTheServerRequires)
{
    const QString folder = server->makeFolder(QStringLiteral("reuse"));
    for (int send = 0; send < 12; ++send) {
        SCOPED_TRACE(send);
        const QByteArray diary = shiftJisDiary(20000 + send);
        const UploadResult result = uploadToSite(request(QStringLiteral("reuse"), diary), trustAll);
        ASSERT_EQ(result.outcome, UploadOutcome::Sent) << result.detail.toStdString();
        EXPECT_TRUE(readAll(folder + QStringLiteral("/site.htm")) == diary);
    }
    EXPECT_FALSE(server->commandLog().contains("\"522 "));
}

TEST_F(FtpsSiteTest, EachFailureIsToldApartAndLeavesTheOldFile)
{
    server->makeFolder(QStringLiteral("failures"));
    // vsftpd runs as root: a folder root owns and only root may write to.
    const QString locked = server->home() + QStringLiteral("/locked");
    QDir().mkpath(locked);
    writeAll(locked + QStringLiteral("/site.htm"), "old diary");
    struct Row {
        const char* name;
        QString folder;
        std::function<void(UploadRequest&)> change;
        UploadOutcome outcome;
    };
    const Row rows[] = {
        {"wrong password", QStringLiteral("failures"), [](UploadRequest& r) { r.secret += u'x'; },
         UploadOutcome::WrongPassword},
        {"folder not writable", QStringLiteral("locked"), [](UploadRequest&) {},
         UploadOutcome::NoPermission},
        {"nothing listens", QStringLiteral("failures"), [](UploadRequest& r) { r.site.port = 1; },
         UploadOutcome::ConnectionRefused},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        UploadRequest sent = request(row.folder, shiftJisDiary());
        row.change(sent);
        const UploadResult result = uploadToSite(sent, trustAll);
        EXPECT_EQ(result.outcome, row.outcome) << result.detail.toStdString();
    }
    EXPECT_EQ(readAll(locked + QStringLiteral("/site.htm")), "old diary");
    EXPECT_EQ(remoteFiles(locked), QStringList{QStringLiteral("site.htm")});
}

TEST_F(FtpsSiteTest, ACancelledSendLeavesTheOldFileWhole)
{
    const QString folder = server->makeFolder(QStringLiteral("stopped"));
    const QByteArray big = shiftJisDiary(20 * 1024 * 1024 / 40);
    const QString target = folder + QStringLiteral("/site.htm");
    writeAll(target, "old diary");
    std::atomic_bool cancelled = false;
    UploadHooks hooks = trustAll;
    hooks.cancelled = &cancelled;
    hooks.progress = [&](qint64 bytes, qint64) { cancelled = cancelled || bytes > 2 << 20; };

    EXPECT_EQ(uploadToSite(request(QStringLiteral("stopped"), big), hooks).outcome,
              UploadOutcome::Cancelled);
    EXPECT_EQ(readAll(target), "old diary");
    EXPECT_EQ(remoteFiles(folder), QStringList{QStringLiteral("site.htm")});
}

// A server that does not offer TLS gets neither the user name nor the password.
TEST_F(FtpsSiteTest, PlainFtpIsNeverUsed)
{
    server->makeFolder(QStringLiteral("plain"));
    ASSERT_EQ(server->restartWithoutTls(), QString());
    const qsizetype logged = server->commandLog().size();
    const UploadResult result =
        uploadToSite(request(QStringLiteral("plain"), shiftJisDiary()), trustAll);
    const QByteArray log = server->commandLog().mid(logged);
    ASSERT_EQ(server->restartWithCertificate(QStringLiteral("IP:127.0.0.1")), QString());
    EXPECT_EQ(result.outcome, UploadOutcome::NoEncryption);
    EXPECT_TRUE(log.contains("AUTH TLS")) << log.toStdString();
    EXPECT_FALSE(log.contains(server->user().toUtf8()));
    EXPECT_FALSE(log.contains(server->password().toUtf8()));
}

// The writer's way: the settings window set to FTPS, then Ctrl+U; the certificate's question
// shows its fingerprint, and a yes sends the diary.
TEST_F(FtpsSiteTest, TheSendCommandAsksAboutTheCertificateAndSends)
{
    const QString folder = server->makeFolder(QStringLiteral("menu"));
    const QByteArray diary = shiftJisDiary(10);
    const UploadRequest sent = request(QStringLiteral("menu"), diary);
    TPublishForm window;
    PublishSettings settings{sent.site, false};
    settings.site.protocol = SiteAddress::Protocol::Sftp;
    settings.site.port = 22;
    settings.site.signIn = SiteAddress::SignIn::KeyFile;
    window.setSettings(settings);
    window.ProtocolBox->setCurrentIndex(int(SiteAddress::Protocol::Ftps));
    EXPECT_EQ(window.PortEdit->value(), 21);
    EXPECT_EQ(window.SignInBox->currentIndex(), int(SiteAddress::SignIn::Password));
    const auto* signIns = static_cast<QStandardItemModel*>(window.SignInBox->model());
    EXPECT_FALSE(signIns->item(int(SiteAddress::SignIn::Agent))->isEnabled());
    window.PortEdit->setValue(server->port());
    settings = window.settings();
    EXPECT_EQ(settings.site.protocol, SiteAddress::Protocol::Ftps);

    FakePlatform fake;
    fake.files.files.insert(sent.localPath, diary);
    fake.keyStore.present = true;
    ASSERT_TRUE(savePublishSettings(fake.keyStore, sent.localPath, settings));
    TMainForm form(fake.platform());
    form.state().FirstPageChangeFlag = FirstPageChange::Never;
    form.show();
    form.openGivenFile(sent.localPath);
    form.publisher()->askSecret = [&](const QString&, SecretKeeping) {
        return std::optional<SecretAnswer>({server->password(), false});
    };
    form.publisher()->loadSecrets = [] { return nullptr; };
    form.publisher()->pinnedCertificates = pins;
    fake.messages.answer({MsgAnswer::Yes});
    form.findChild<QAction*>(QStringLiteral("PublishSend"))->trigger();
    auto* result = form.findChild<QLabel*>(QStringLiteral("PublishResult"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return result->text().startsWith(u"送信しました"); }, 20000))
        << result->text().toStdString();
    EXPECT_EQ(readAll(folder + QStringLiteral("/site.htm")), diary);
    ASSERT_EQ(fake.messages.shown.size(), 1);
    EXPECT_TRUE(fake.messages.shown[0].text.contains(server->fingerprint()));
    EXPECT_TRUE(readAll(pins).startsWith("[127.0.0.1]:"));
}

// "保存したら送る": a save while a send runs is sent after it, so the site ends with the last
// save; saves while the server is away say that the diary was saved and the send failed, on
// the result line that a screen reader reads, with one message for the whole run.
TEST_F(FtpsSiteTest, SavesAreSentLatestLastAndOfflineSavesSayWhatHappened)
{
    const QString folder = server->makeFolder(QStringLiteral("saves"));
    UploadRequest sent = request(QStringLiteral("saves"), shiftJisDiary(200000));
    ASSERT_EQ(lookUpOnSite(sent, trustAll).outcome, UploadOutcome::LookedUp); // pins the key
    FakePlatform fake;
    QtFiles files;
    fake.keyStore.present = true;
    ASSERT_TRUE(savePublishSettings(fake.keyStore, sent.localPath, {sent.site, true}));
    TMainForm form({fake.messages, fake.fileDialogs, fake.clipboard, fake.clock, fake.system, files,
                    fake.keyStore});
    form.state().FirstPageChangeFlag = FirstPageChange::Never;
    form.show();
    form.openGivenFile(sent.localPath);
    Publisher* publisher = form.publisher();
    int asked = 0;
    publisher->askSecret = [&](const QString&, SecretKeeping) {
        ++asked;
        return std::optional<SecretAnswer>({server->password(), false});
    };
    publisher->loadSecrets = [] { return nullptr; };
    publisher->pinnedCertificates = pins;
    auto* result = form.findChild<StatusLabel*>(QStringLiteral("PublishResult"));
    const auto saveWith = [&](const QString& line) {
        form.diaryTab()->AllMemo->appendPlainText(line);
        return form.document()->SaveDiary();
    };
    const auto waitForResult = [&] {
        return QTest::qWaitFor([&] { return publisher->sendOffered(); }, 30000);
    };

    ASSERT_TRUE(saveWith(QStringLiteral("一回目")));
    ASSERT_FALSE(publisher->sendOffered());
    ASSERT_TRUE(saveWith(QStringLiteral("二回目")));
    ASSERT_TRUE(waitForResult());
    EXPECT_TRUE(result->text().startsWith(u"保存しました。送信しました"))
        << result->text().toStdString();
    EXPECT_TRUE(readAll(folder + QStringLiteral("/site.htm")) == readAll(sent.localPath));
    EXPECT_EQ(asked, 1);
    QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(result);
    EXPECT_EQ(spoken->role(), QAccessible::StatusBar);
    EXPECT_EQ(spoken->text(QAccessible::Name), result->text());

    sent.site.port = 1; // nothing listens
    ASSERT_TRUE(savePublishSettings(fake.keyStore, sent.localPath, {sent.site, true}));
    fake.messages.answer({MsgAnswer::Ok});
    for (const QString& line : {QStringLiteral("三回目"), QStringLiteral("四回目")}) {
        ASSERT_TRUE(saveWith(line));
        ASSERT_TRUE(waitForResult());
        EXPECT_TRUE(result->text().startsWith(u"保存しました。送信できませんでした"))
            << result->text().toStdString();
        EXPECT_TRUE(result->text().contains(u"接続を拒否されました"));
    }
    EXPECT_EQ(fake.messages.shown.size(), 1);
    EXPECT_FALSE(form.document()->isModified());
}

// What the diary links inside its folder goes before it, over one connection, its folders
// made; addresses elsewhere are left alone and missing files named. The check lists each file
// with its size, later sends only what changed, and "送信の記録" shows the sends newest first.
TEST_F(FtpsSiteTest, LinkedFilesGoFirstOnceEachAndTheSendsAreRecorded)
{
    const QString folder = server->makeFolder(QStringLiteral("linked"));
    const QByteArray links =
        "<LINK HREF=\"diary.css\"><IMG SRC='img/2026/1208.jpg'><a href=page2.htm?v=1#top>"
        "<img src=\"http://example.jp/a.png\"><img src=\"../outside.png\"><a href=\"#top\">"
        "<img src=\"/abs.png\"><img src=\"img/missing.png\"><a href=\"diary.htm\">\r\n";
    const UploadRequest sent = request(QStringLiteral("linked"), links + shiftJisDiary(3));
    ASSERT_EQ(lookUpOnSite(sent, trustAll).outcome, UploadOutcome::LookedUp); // pins the key
    QDir(local.path()).mkpath(QStringLiteral("img/2026"));
    const QByteArray picture = shiftJisDiary(8000);
    writeAll(local.filePath(QStringLiteral("img/2026/1208.jpg")), picture);
    writeAll(local.filePath(QStringLiteral("diary.css")), "body { color: black }");
    writeAll(local.filePath(QStringLiteral("page2.htm")), "<p>2</p>");
    writeAll(QFileInfo(local.path()).absolutePath() + QStringLiteral("/outside.png"), "no");
    FakePlatform fake;
    QtFiles files;
    fake.keyStore.present = true;
    ASSERT_TRUE(savePublishSettings(fake.keyStore, sent.localPath, {sent.site, false}));
    TMainForm form({fake.messages, fake.fileDialogs, fake.clipboard, fake.clock, fake.system, files,
                    fake.keyStore});
    form.state().FirstPageChangeFlag = FirstPageChange::Never;
    form.show();
    form.openGivenFile(sent.localPath);
    Publisher* publisher = form.publisher();
    publisher->askSecret = [&](const QString&, SecretKeeping) {
        return std::optional<SecretAnswer>({server->password(), false});
    };
    publisher->loadSecrets = [] { return nullptr; };
    publisher->pinnedCertificates = pins;
    publisher->recordFolder = local.filePath(QStringLiteral("state"));
    auto* result = form.findChild<StatusLabel*>(QStringLiteral("PublishResult"));
    const auto send = [&](const char* command) {
        const qsizetype logged = server->commandLog().size();
        form.findChild<QAction*>(QLatin1String(command))->trigger();
        EXPECT_TRUE(QTest::qWaitFor([&] { return publisher->sendOffered(); }, 20000));
        QByteArrayList stored;
        for (const QByteArray& line : server->commandLog().mid(logged).split('\n')) {
            if (line.contains("\"RNTO "))
                stored.append(line.mid(line.indexOf("RNTO ") + 5).chopped(1));
        }
        return stored;
    };

    fake.messages.answer({MsgAnswer::Yes});
    const QByteArrayList first = send("PublishCheck");
    ASSERT_EQ(fake.messages.shown.size(), 1);
    const QString check = fake.messages.shown[0].text;
    EXPECT_TRUE(check.contains(
        QStringLiteral("img/2026/1208.jpg（%1 バイト）").arg(QLocale().toString(picture.size()))))
        << check.toStdString();
    EXPECT_TRUE(check.contains(QStringLiteral("diary.css（21 バイト）")));
    EXPECT_TRUE(check.contains(QStringLiteral("img/missing.png")));
    EXPECT_FALSE(check.contains(QStringLiteral("outside")));
    EXPECT_EQ(first, (QByteArrayList{"linked/diary.css", "linked/img/2026/1208.jpg",
                                     "linked/page2.htm", "linked/site.htm"}));
    EXPECT_TRUE(readAll(folder + QStringLiteral("/img/2026/1208.jpg")) == picture);
    EXPECT_EQ(readAll(folder + QStringLiteral("/page2.htm")), "<p>2</p>");
    EXPECT_TRUE(result->text().contains(QStringLiteral("img/missing.png")));

    EXPECT_EQ(send("PublishSend"), QByteArrayList{"linked/site.htm"});
    writeAll(local.filePath(QStringLiteral("diary.css")), "body { color: navy }");
    EXPECT_EQ(send("PublishSend"), (QByteArrayList{"linked/diary.css", "linked/site.htm"}));
    EXPECT_EQ(readAll(folder + QStringLiteral("/diary.css")), "body { color: navy }");

    TSendRecordForm record(readSendRecord(local.filePath(QStringLiteral("state/send_record"))));
    ASSERT_EQ(record.SendRecordTable->rowCount(), 3);
    EXPECT_EQ(record.SendRecordTable->item(0, 2)->text(), QStringLiteral("diary.css、site.htm"));
    EXPECT_TRUE(record.SendRecordTable->item(2, 3)->text().startsWith(u"送信しました"));
}

// The record keeps the last 200 sends.
TEST(SendRecord, KeepsTheLastSends)
{
    QTemporaryDir state;
    const QString path = state.filePath(QStringLiteral("send_record"));
    for (int send = 0; send < sendRecordLength + 5; ++send)
        ASSERT_TRUE(addToSendRecord(path, {QDateTime::currentDateTime(),
                                           QStringLiteral("a@b:c"),
                                           {QString::number(send)},
                                           QStringLiteral("送信しました")}));
    const QList<SendEntry> kept = readSendRecord(path);
    ASSERT_EQ(kept.size(), sendRecordLength);
    EXPECT_EQ(kept.front().files, QStringList{QStringLiteral("5")});
    EXPECT_EQ(kept.back().files, QStringList{QString::number(sendRecordLength + 4)});
}

// Whatever the library says stays a detail after the Japanese sentence that tells the writer
// what happened.
TEST(UploadMessages, LibraryWordsComeOnlyAfterAJapaneseSentence)
{
    const QString english = QStringLiteral("wrong version number");
    for (int outcome = int(UploadOutcome::Cancelled); outcome <= int(UploadOutcome::Failed);
         ++outcome) {
        SCOPED_TRACE(outcome);
        const QString text = uploadFailureMessage({UploadOutcome(outcome), english}, SiteAddress{},
                                                  QString(), QString());
        ASSERT_FALSE(text.isEmpty());
        EXPECT_GT(text.front().unicode(), 0x2FFF);
        const qsizetype at = text.indexOf(english);
        EXPECT_TRUE(at < 0 || text.indexOf(QStringLiteral("\n（詳細：")) == at - 5)
            << text.toStdString();
    }
}

} // namespace
