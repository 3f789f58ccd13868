#include "publish/Publisher.h"

#include "document/DiaryDocument.h"
#include "document/DiaryFileTab.h"
#include "find/StatusLabel.h"
#include "platform/Files.h"
#include "platform/Messages.h"
#include "publish/CertificatePins.h"
#include "publish/SendRecord.h"
#include "publish/TPublishForm.h"
#include "publish/TSendRecordForm.h"
#include "publish/UploadMessages.h"
#include "storage/StateFolder.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

#include <utility>

namespace {

const QString caption = QStringLiteral("公開");

} // namespace

Publisher::Publisher(DiaryDocument* document, DiaryFileTab* tab, Platform platform, QWidget* window)
    : QObject(window), document_(document), memo_(tab->AllMemo), platform_(platform),
      window_(window)
{
    knownHosts = QDir::homePath() + QStringLiteral("/.ssh/known_hosts");
    pinnedCertificates = stateFolder() + QStringLiteral("/certificate_pins");
    recordFolder = stateFolder();
    askSecret = [window](const QString& prompt, SecretKeeping keeping) {
        return askSecretInDialog(window, prompt, keeping);
    };

    PublishRow = new QWidget(tab);
    PublishRow->setObjectName(QStringLiteral("PublishRow"));
    PublishProgress = new QProgressBar(PublishRow);
    PublishProgress->setObjectName(QStringLiteral("PublishProgress"));
    PublishProgress->setAccessibleName(QStringLiteral("送信の進み具合"));
    // Every letter is some other control's key on the diary tab; a digit is this one's.
    PublishCancelBtn = new QPushButton(QStringLiteral("送信を中止(&7)"), PublishRow);
    PublishCancelBtn->setObjectName(QStringLiteral("PublishCancelBtn"));
    PublishCancelBtn->setAutoDefault(true); // Enter on it as on Space: no dialog has a default
    PublishCancelBtn->setAccessibleName(QStringLiteral("送信を中止"));
    PublishResult = new StatusLabel("PublishResult", QStringLiteral("送信の結果"), tab);
    PublishResult->setTextInteractionFlags(Qt::TextSelectableByKeyboard
                                           | Qt::TextSelectableByMouse);
    auto* row = new QHBoxLayout(PublishRow);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(PublishProgress, 1);
    row->addWidget(PublishCancelBtn);
    tab->layout()->addWidget(PublishRow);
    tab->layout()->addWidget(PublishResult);
    PublishRow->hide();
    PublishResult->hide();

    connect(PublishCancelBtn, &QPushButton::clicked, &job_, &UploadJob::cancel);
    connect(&job_, &UploadJob::progressed, this, &Publisher::showProgress);
    connect(&job_, &UploadJob::finished, this, &Publisher::showResult);
    connect(document_, &DiaryDocument::documentSaved, this, &Publisher::sendAfterSave);
    job_.trustNewHost = [this](const HostKeySeen& seen) { return trustHost(seen); };
    job_.trustCertificate = [this](const CertificateSeen& seen) { return trustCertificate(seen); };
    job_.replaceReadOnly = [this](const QString& path) { return replaceReadOnly(path); };
    job_.askPassphrase = [this](const QString& keyFile) { return askPassphrase(keyFile); };
}

QString Publisher::diaryPath() const
{
    return document_->fileName();
}

bool Publisher::sendOffered() const
{
    return document_->isLoaded() && !job_.running();
}

bool Publisher::mayClose()
{
    if (!job_.running())
        return true;
    const MsgAnswer answer =
        platform_.messages.show({QStringLiteral("日記を送信中です。送信を中止して終了しますか？"),
                                 caption, MsgButtons::YesNo, MsgIcon::Question, MsgAnswer::No});
    if (answer != MsgAnswer::Yes)
        return false;
    job_.cancel();
    return true;
}

bool Publisher::PublishSetClick()
{
    if (diaryPath().isEmpty()) {
        platform_.messages.show({QStringLiteral("公開の設定は日記ファイルごとに記録します。"
                                                "先に日記を保存してください。"),
                                 caption, MsgButtons::Ok, MsgIcon::Information});
        return false;
    }
    TPublishForm form(window_);
    form.pinnedCertificates = pinnedCertificates;
    form.setSettings(loadPublishSettings(platform_.keyStore, diaryPath()));
    if (form.exec() != QDialog::Accepted)
        return false;
    if (!savePublishSettings(platform_.keyStore, diaryPath(), form.settings()))
        platform_.messages.show({QStringLiteral("公開の設定を記録できませんでした。"), caption,
                                 MsgButtons::Ok, MsgIcon::Stop});
    return true;
}

// The diary goes out as it is saved: a modified one is saved first, a new one needs a file, and
// a diary without a site gets its settings window.
bool Publisher::readyToSend()
{
    if (job_.running())
        return false;
    if (document_->isModified() || diaryPath().isEmpty()) {
        const MsgAnswer answer = platform_.messages.show(
            {QStringLiteral("日記は保存されていません。保存してから送りますか？"), caption,
             MsgButtons::YesNo, MsgIcon::Question, MsgAnswer::Yes});
        if (answer != MsgAnswer::Yes || !document_->SaveDiary())
            return false;
    }
    sending_ = loadPublishSettings(platform_.keyStore, diaryPath());
    if (sending_.site.host.isEmpty()) {
        if (!PublishSetClick())
            return false;
        sending_ = loadPublishSettings(platform_.keyStore, diaryPath());
    }
    return true;
}

void Publisher::PublishSendClick()
{
    if (!readyToSend())
        return;
    fromSave_ = false;
    start(Step::Send, true);
}

// Looks at the site first, so that the question can say what the diary replaces there.
void Publisher::PublishCheckClick()
{
    if (!readyToSend())
        return;
    fromSave_ = false;
    start(Step::LookUp, true);
}

// A save while a send runs is sent once that send is done: the site gets the latest save.
void Publisher::sendAfterSave()
{
    if (diaryPath().isEmpty())
        return;
    const PublishSettings settings = loadPublishSettings(platform_.keyStore, diaryPath());
    if (!settings.sendAfterSave || settings.site.host.isEmpty())
        return;
    if (job_.running()) {
        savedWhileSending_ = true;
        return;
    }
    sending_ = settings;
    fromSave_ = true;
    start(Step::Send, true);
}

// After a send that went through, one more with the same secret when the diary was saved while
// it ran; a send that failed leaves that save unsent, as its result line says.
void Publisher::sendLatestSave(const QString& secret, UploadOutcome outcome)
{
    if (!std::exchange(savedWhileSending_, false) || outcome != UploadOutcome::Sent)
        return;
    sending_ = loadPublishSettings(platform_.keyStore, diaryPath());
    secret_ = secret;
    fromSave_ = true;
    start(Step::Send, false);
}

// Starts the step on the job's thread; a step after a look-up keeps the secret it was given.
void Publisher::start(Step step, bool freshSecret)
{
    QString error;
    const char* symbol = step == Step::Send ? uploadToSiteName : lookUpOnSiteName;
    const UploadFunction function = loadTransfer ? loadTransfer(symbol, error) : nullptr;
    if (!function) {
        platform_.messages.show({QStringLiteral("送信のための部品 %1 を読み込めませんでした。\n")
                                         .arg(transferLibraryName)
                                     + error,
                                 caption, MsgButtons::Ok, MsgIcon::Stop});
        return;
    }
    UploadRequest request;
    request.site = sending_.site;
    request.localPath = diaryPath();
    // A send after the check sends what the check showed.
    if (!(step == Step::Send && step_ == Step::LookUp && !freshSecret))
        findLinkedFiles();
    request.linkedFiles = linked_;
    request.knownHosts = knownHosts;
    request.sshConfig = sshConfig;
    request.pinnedCertificates = pinnedCertificates;
    request.acceptedHostKey = std::exchange(acceptedHostKey_, QString());
    if (request.site.signIn != SiteAddress::SignIn::Agent) {
        const std::optional<QString> secret = freshSecret ? secretFor(request.site) : secret_;
        if (!secret)
            return;
        request.secret = *secret;
    }
    step_ = step;
    PublishProgress->setRange(0, 0);
    PublishRow->show();
    PublishResult->say(
        (step == Step::Send ? QStringLiteral("送信中：%1") : QStringLiteral("サーバーを確認中：%1"))
            .arg(request.site.host));
    PublishResult->show();
    job_.start(request, function);
    emit sendingChanged();
}

// The files the diary links that are new or changed since they went to the site.
void Publisher::findLinkedFiles()
{
    const SiteAddress& site = sending_.site;
    const DiaryLinks links = linkedFiles(diaryPath(), memo_->toPlainText());
    linked_ = SentFiles(recordFolder, site).changed(links.files);
    missing_ = links.missing;
}

// What the check shows: the diary here, the files that go with it, and the file the diary
// replaces on the site.
QString Publisher::checkText(const RemoteFile& remote) const
{
    const QFileInfo local(diaryPath());
    const QLocale locale;
    const SiteAddress& site = sending_.site;
    const auto time = [&](const QDateTime& when) {
        return when.isValid() ? locale.toString(when.toLocalTime(), QLocale::ShortFormat)
                              : QStringLiteral("（不明）");
    };
    const QString there =
        !remote.exists
            ? QStringLiteral("サーバーにはまだありません（新しく作ります）。")
            : QStringLiteral("大きさ：%1\n更新日時：%2")
                  .arg(remote.size < 0 ? QStringLiteral("（不明）")
                                       : locale.toString(remote.size) + QStringLiteral(" バイト"),
                       time(remote.modified));
    QString files;
    for (const LinkedFile& file : linked_)
        files +=
            QStringLiteral("　%1（%2 バイト）\n").arg(file.remoteName, locale.toString(file.size));
    files += QStringLiteral("　%1（%2 バイト、最後に送ります）\n")
                 .arg(site.fileName, locale.toString(local.size()));
    const QString missing =
        missing_.isEmpty()
            ? QString()
            : QStringLiteral("\n日記がリンクしていても見つからないため送らないファイル：\n　")
                  + missing_.join(QStringLiteral("\n　")) + u'\n';
    return QStringLiteral("次のとおり送ります。よろしいですか？\n\n"
                          "送る日記：%1\n大きさ：%2 バイト\n更新日時：%3\n\n"
                          "送るファイル（%4 個）：\n%5%6\n"
                          "送り先：%7@%8:%9\n%10")
        .arg(local.filePath(), locale.toString(local.size()), time(local.lastModified()))
        .arg(linked_.size() + 1)
        .arg(files, missing, site.user, site.host, remotePath(site, site.fileName), there);
}

// The site's secret from the desktop's secret store, or else asked (nullopt: the writer
// cancelled). A locked keyring is unlocked first (the desktop asks the writer, once); only a
// store that is open and answered is offered for keeping.
std::optional<QString> Publisher::secretFor(const SiteAddress& site)
{
    secret_.clear();
    keepSecret_ = false;
    secretFromStore_ = false;
    const SecretStore* store = loadSecrets ? loadSecrets() : nullptr;
    const SecretReply opened = store ? store->unlock() : SecretReply{};
    const SecretReply kept =
        store && opened.status == SecretStatus::Done ? store->read(secretKey(site)) : opened;
    if (kept.status == SecretStatus::Done) {
        secretFromStore_ = true;
        secret_ = kept.secret;
        return kept.secret;
    }
    const QString prompt =
        site.signIn == SiteAddress::SignIn::Password
            ? QStringLiteral("%1@%2 のパスワード：").arg(site.user, site.host)
            : QStringLiteral("鍵ファイル %1 のパスフレーズ（なければ空のまま）：")
                  .arg(site.keyFile);
    const SecretKeeping keeping = kept.status == SecretStatus::NotFound ? SecretKeeping::Offered
                                  : kept.status == SecretStatus::Locked ? SecretKeeping::StoreLocked
                                                                        : SecretKeeping::NoStore;
    const std::optional<SecretAnswer> answer = askSecret(prompt, keeping);
    if (!answer)
        return std::nullopt;
    keepSecret_ = keeping == SecretKeeping::Offered && answer->keep;
    secret_ = answer->secret;
    return answer->secret;
}

// A key's passphrase ssh asks for during a send (a key of ~/.ssh/config or ~/.ssh/id_* that is
// not in ssh-agent), as sftp asks in a terminal; nullopt: the writer cancelled the send.
std::optional<QString> Publisher::askPassphrase(const QString& keyFile)
{
    const std::optional<SecretAnswer> answer = askSecret(
        QStringLiteral("鍵ファイル %1 のパスフレーズ：").arg(keyFile), SecretKeeping::AgentKey);
    if (!answer)
        return std::nullopt;
    return answer->secret;
}

// After a send: a secret that worked is kept when the writer asked; one from the store that the
// server refused is removed, so that the next send asks. Returns what the writer should hear of
// it (empty: nothing).
QString Publisher::settleSecret(UploadOutcome outcome)
{
    const QString secret = std::exchange(secret_, QString());
    const bool keep = std::exchange(keepSecret_, false) && outcome == UploadOutcome::Sent;
    const bool forget =
        std::exchange(secretFromStore_, false)
        && (outcome == UploadOutcome::WrongPassword || outcome == UploadOutcome::WrongPassphrase);
    if (!keep && !forget)
        return {};
    const SecretStore* store = loadSecrets ? loadSecrets() : nullptr;
    const QString key = secretKey(sending_.site);
    const SecretReply reply = !store ? SecretReply{}
                              : keep ? store->write(key, secret)
                                     : store->remove(key);
    if (reply.status == SecretStatus::Done)
        return forget ? QStringLiteral(
                   "キーリングに記録していたものは消しました。次に送るときに尋ねます。")
                      : QString();
    return (keep ? QStringLiteral("キーリングに記録できませんでした。")
                 : QStringLiteral("キーリングから消せませんでした。"))
           + detailNote(reply.detail);
}

bool Publisher::trustHost(const HostKeySeen& seen)
{
    const QString text =
        QStringLiteral("サーバー「%1」（ポート%2）に初めて接続します。\n"
                       "サーバーの鍵の指紋（%3）：\n%4\n\n"
                       "この指紋がサーバーの管理者から知らされたものと同じなら「はい」を押して"
                       "ください。鍵を %5 に記録して接続します。%6")
            .arg(seen.host)
            .arg(seen.port)
            .arg(seen.keyType, seen.fingerprint, knownHosts, knownHostsNote());
    return platform_.messages.show(
               {text, caption, MsgButtons::YesNo, MsgIcon::Question, MsgAnswer::No})
           == MsgAnswer::Yes;
}

// What the question about a new host must add when known_hosts cannot be read or written.
QString Publisher::knownHostsNote() const
{
    if (platform_.files.exists(knownHosts) && !platform_.files.readAll(knownHosts))
        return QStringLiteral("\n\n注意：%1 を読めないため、このサーバーの鍵を前に記録したか"
                              "どうかを確かめられません。")
            .arg(knownHosts);
    if (!platform_.files.isWritable(knownHosts))
        return QStringLiteral("\n\n注意：%1 に書き込めないため、鍵は記録されません。"
                              "次に送るときもまた尋ねます。")
            .arg(knownHosts);
    return {};
}

// A changed host key: the warning, with the offer (No by default) to put the new key in place
// of the old line once the writer has checked it with the server's administrator; a yes runs
// the step again. False when the change cannot be offered (ssh did not say where the old key is).
bool Publisher::offerNewHostKey(const UploadResult& result)
{
    const HostKeyChange& change = result.changedKey;
    if (change.line < 1 || change.fingerprint.isEmpty())
        return false;
    const QString question =
        QStringLiteral("\n\n新しい鍵の指紋が正しいことを、サーバーの管理者に確かめましたか？"
                       "確かめた場合だけ「はい」を押してください。%1 の %2 行目を消し、"
                       "新しい鍵を記録して送り直します。")
            .arg(change.file)
            .arg(change.line);
    const QString warning =
        uploadFailureMessage(result, sending_.site, knownHosts, pinnedCertificates);
    if (platform_.messages.show(
            {warning + question, caption, MsgButtons::YesNo, MsgIcon::Exclamation, MsgAnswer::No})
        != MsgAnswer::Yes) {
        settleSecret(result.outcome);
        return true;
    }
    if (!removeKnownHostsLine(change.file, change.line)) {
        settleSecret(result.outcome);
        platform_.messages.show({QStringLiteral("%1 を書き換えられませんでした。").arg(change.file),
                                 caption, MsgButtons::Ok, MsgIcon::Stop});
        return true;
    }
    acceptedHostKey_ = change.fingerprint;
    start(step_, false);
    return true;
}

bool Publisher::replaceReadOnly(const QString& remotePath)
{
    const QString text = QStringLiteral("サイトの日記「%1」は読み取り専用になっています。"
                                        "置き換えますか？\n（新しい日記も読み取り専用にします）")
                             .arg(remotePath);
    return platform_.messages.show(
               {text, caption, MsgButtons::YesNo, MsgIcon::Question, MsgAnswer::No})
           == MsgAnswer::Yes;
}

bool Publisher::trustCertificate(const CertificateSeen& seen)
{
    const QLocale locale;
    const QString certificate =
        QStringLiteral(
            "発行先：%1\n発行者：%2\n有効期間：%3 ～ %4\n証明書の指紋（SHA-256）：\n%5\n")
            .arg(seen.subject, seen.issuer,
                 locale.toString(seen.validFrom.toLocalTime(), QLocale::ShortFormat),
                 locale.toString(seen.validUntil.toLocalTime(), QLocale::ShortFormat),
                 seen.fingerprint);
    const QString where =
        QStringLiteral("サーバー「%1」（ポート%2）").arg(seen.host).arg(seen.port);
    const QString text =
        seen.pinnedFingerprint.isEmpty()
            ? where
                  + QStringLiteral(
                        "の証明書は、このコンピューターが信頼する認証局のものではありません（自己署"
                        "名など）。"
                        "\n\n%1"
                        "公開鍵の指紋（SHA-256）：\n%2\n\n"
                        "この指紋がサーバーの管理者から知らされたものと同じなら「はい」を押して"
                        "ください。公開鍵を %3 に記録し、次からはこの鍵のときだけ接続します。")
                        .arg(certificate, seen.publicKeyFingerprint, pinnedCertificates)
            : QStringLiteral("警告：") + where
                  + QStringLiteral(
                        "の証明書の鍵が、以前に信頼した鍵と違います。サーバーが入れ替わったか、"
                        "だれかが通信を横取りしているおそれがあります。\n\n"
                        "以前の公開鍵の指紋（SHA-256、%1 の「[%2]:%3」の行）：\n%4\n"
                        "新しい公開鍵の指紋（SHA-256）：\n%5\n%6\n"
                        "証明書が新しくなったことをサーバーの管理者に確かめ、新しい指紋が知らされた"
                        "ものと同じなら「はい」を押してください。記録を新しい鍵に置き換えて接続しま"
                        "す。"
                        "「いいえ」なら何も送りません。")
                        .arg(pinnedCertificates, seen.host)
                        .arg(seen.port)
                        .arg(seen.pinnedFingerprint, seen.publicKeyFingerprint, certificate);
    return platform_.messages.show(
               {text, caption, MsgButtons::YesNo, MsgIcon::Exclamation, MsgAnswer::No})
           == MsgAnswer::Yes;
}

void Publisher::showProgress(qint64 sent, qint64 total)
{
    // The bar counts in kilobytes: a progress bar holds an int.
    PublishProgress->setRange(0, int(qMax<qint64>(1, total / 1024)));
    PublishProgress->setValue(int(sent / 1024));
    PublishProgress->setFormat(
        QStringLiteral("%1 / %2 バイト").arg(QLocale().toString(sent), QLocale().toString(total)));
}

void Publisher::showResult(const UploadResult& result)
{
    PublishRow->hide();
    emit sendingChanged();
    if (result.outcome == UploadOutcome::LookedUp) {
        PublishResult->hide();
        const bool yes =
            platform_.messages.show({checkText(result.remote), caption, MsgButtons::YesNo,
                                     MsgIcon::Question, MsgAnswer::Yes})
            == MsgAnswer::Yes;
        if (yes)
            start(Step::Send, false);
        else
            settleSecret(UploadOutcome::Cancelled);
        return;
    }
    const SiteAddress& site = sending_.site;
    const QString time = QTime::currentTime().toString(QStringLiteral("HH:mm"));
    const QString saved = fromSave_ ? QStringLiteral("保存しました。") : QString();
    const QString secret = secret_;
    if (result.outcome == UploadOutcome::Sent) {
        failureShown_ = false;
        const QString note = settleSecret(result.outcome);
        const QString missing = missing_.isEmpty()
                                    ? QString()
                                    : QStringLiteral("　見つからないため送らなかったファイル：")
                                          + missing_.join(QStringLiteral("、"));
        PublishResult->say(saved
                           + QStringLiteral("送信しました：%1（%2）")
                                 .arg(site.host + u':' + remotePath(site, site.fileName), time)
                           + missing + (note.isEmpty() ? QString() : u'　' + note));
    } else {
        showFailure(result, time);
    }
    if (step_ == Step::Send)
        recordSend(result, PublishResult->text());
    sendLatestSave(secret, result.outcome);
}

// Keeps the send in the record of sends, and the linked files that went in the site's record.
void Publisher::recordSend(const UploadResult& result, const QString& line)
{
    QList<LinkedFile> sent;
    for (const LinkedFile& file : std::as_const(linked_)) {
        if (result.sent.contains(file.remoteName))
            sent.append(file);
    }
    const SiteAddress& site = sending_.site;
    if (!sent.isEmpty())
        SentFiles(recordFolder, site).markSent(sent);
    addToSendRecord(sendRecordPath(),
                    {QDateTime::currentDateTime(),
                     QStringLiteral("%1@%2:%3").arg(site.user, site.host, site.folder), result.sent,
                     line});
}

QString Publisher::sendRecordPath() const
{
    return recordFolder + QStringLiteral("/send_record");
}

void Publisher::PublishRecordClick()
{
    TSendRecordForm form(readSendRecord(sendRecordPath()), window_);
    form.exec();
}

// A failure is told in a message, apart from a send after a save when the one before it failed
// too: saving while the server is away says so on the result line alone, once in a message.
void Publisher::showFailure(const UploadResult& result, const QString& time)
{
    PublishResult->say((step_ == Step::LookUp
                            ? QStringLiteral("サーバーを確認できませんでした（%1）")
                        : fromSave_ ? QStringLiteral("保存しました。送信できませんでした（%1）")
                                    : QStringLiteral("送信できませんでした（%1）"))
                           .arg(time));
    if (result.outcome == UploadOutcome::HostKeyChanged && offerNewHostKey(result))
        return;
    const QString note = settleSecret(result.outcome);
    QString text = uploadFailureMessage(result, sending_.site, knownHosts, pinnedCertificates);
    if (!note.isEmpty())
        text += QStringLiteral("\n\n") + note;
    if (step_ == Step::Send && fromSave_) {
        PublishResult->say(PublishResult->text() + u'：' + text.section(u'\n', 0, 0));
        if (std::exchange(failureShown_, true))
            return;
    }
    platform_.messages.show({text, caption, MsgButtons::Ok, MsgIcon::Stop});
}
