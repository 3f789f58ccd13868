#include "FtpServer.h"
#include "SiteTest.h"
#include "app/TMainForm.h"
#include "publish/Publisher.h"
#include "publish/SiteUpload.h"
#include "publish/TPublishForm.h"
#include "support/FakePlatform.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSpinBox>
#include <QStandardItemModel>
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

    // A new key for the same name is refused, not asked about, as is a certificate for another
    // host even when nothing was pinned.
    writeAll(target, "old diary");
    ASSERT_EQ(server->restartWithCertificate(QStringLiteral("IP:127.0.0.1")), QString());
    EXPECT_EQ(uploadToSite(sent, hooks).outcome, UploadOutcome::CertificateChanged);
    ASSERT_EQ(server->restartWithCertificate(QStringLiteral("DNS:other.example")), QString());
    QFile::remove(pins);
    EXPECT_EQ(uploadToSite(sent, hooks).outcome, UploadOutcome::CertificateRefused);
    EXPECT_EQ(asked.size(), 2);
    EXPECT_EQ(readAll(target), "old diary");
    EXPECT_EQ(remoteFiles(folder), QStringList{QStringLiteral("site.htm")});
    ASSERT_EQ(server->restartWithCertificate(QStringLiteral("IP:127.0.0.1")), QString());
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
    form.publisher()->askSecret = [&](const QString&, bool) {
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

} // namespace
