#pragma once

#include "platform/Platform.h"
#include "publish/LinkedFiles.h"
#include "publish/PublishSettings.h"
#include "publish/SecretStore.h"
#include "publish/TSecretForm.h"
#include "publish/UploadJob.h"

#include <QObject>

#include <functional>
#include <optional>

class DiaryDocument;
class DiaryFileTab;
class QPlainTextEdit;
class QProgressBar;
class StatusLabel;
class QPushButton;
class QWidget;

// The publishing commands of the diary tab: the settings window, sending the saved diary in
// the background with its progress and a cancel button under the editor, and sending after every
// save when the diary's settings ask for it.
class Publisher : public QObject {
    Q_OBJECT
public:
    // Puts the progress row at the bottom of `tab`.
    Publisher(DiaryDocument* document, DiaryFileTab* tab, Platform platform, QWidget* window);

    // "公開の設定": the settings of the open diary; true when the writer pressed OK.
    bool PublishSetClick();
    // "サイトへ送る": sends the saved diary, asking to save first when it is modified.
    void PublishSendClick();
    // "送る前に確認": shows what will be sent and where, and sends on the writer's yes.
    void PublishCheckClick();
    // "送信の記録": the last sends, newest first.
    void PublishRecordClick();
    // Whether a send can start now: a diary document open and no send running.
    bool sendOffered() const;
    // Asked before the window closes: true when no send runs, or the writer chose to stop it.
    bool mayClose();

    // Asks for the password or the passphrase, offering to keep it when the desktop's secret
    // store is open (nullopt: the writer cancelled). Tests replace it.
    std::function<std::optional<SecretAnswer>(const QString& prompt, SecretKeeping keeping)>
        askSecret;
    // The desktop's secret store, from the transfer's library; null when it cannot be loaded.
    std::function<const SecretStore*()> loadSecrets;
    // A function of the transfer's library (uploadToSiteName, lookUpOnSiteName); null, with what
    // went wrong in `error`, when it cannot be loaded.
    std::function<UploadFunction(const char* symbol, QString& error)> loadTransfer;
    // The known_hosts file host keys are checked against (~/.ssh/known_hosts).
    QString knownHosts;
    // ssh's configuration file; empty: the writer's own ~/.ssh/config and the system's.
    QString sshConfig;
    // The file of the certificates' keys the writer trusted, in the program's state folder.
    QString pinnedCertificates;
    // The folder of the record of sends and, per site, of the files sent there (the state
    // folder).
    QString recordFolder;

    QWidget* PublishRow;
    QProgressBar* PublishProgress;
    QPushButton* PublishCancelBtn;
    // The send's last result, read out by a screen reader when it changes.
    StatusLabel* PublishResult;

signals:
    void sendingChanged();

private:
    bool readyToSend();
    enum class Step { LookUp, Send };
    void start(Step step, bool freshSecret);
    void sendLatestSave(const QString& secret, UploadOutcome outcome);
    void showFailure(const UploadResult& result, const QString& time);
    QString checkText(const RemoteFile& remote) const;
    std::optional<QString> secretFor(const SiteAddress& site);
    QString settleSecret(UploadOutcome outcome);
    std::optional<QString> askPassphrase(const QString& keyFile);
    void sendAfterSave();
    bool trustHost(const HostKeySeen& seen);
    QString knownHostsNote() const;
    bool offerNewHostKey(const UploadResult& result);
    bool replaceReadOnly(const QString& remotePath);
    bool trustCertificate(const CertificateSeen& seen);
    void showProgress(qint64 sent, qint64 total);
    void showResult(const UploadResult& result);
    QString diaryPath() const;
    void findLinkedFiles();
    QString sendRecordPath() const;
    void recordSend(const UploadResult& result, const QString& line);

    DiaryDocument* document_;
    QPlainTextEdit* memo_;
    Platform platform_;
    QWidget* window_;
    UploadJob job_;
    PublishSettings sending_;
    // The files the diary links that go with it (new or changed since they went to the site),
    // and the linked names with no file behind them.
    QList<LinkedFile> linked_;
    QStringList missing_;
    Step step_ = Step::Send;
    // The running send was started by a save; a save while it runs is sent after it.
    bool fromSave_ = false;
    bool savedWhileSending_ = false;
    // A failure of a send after a save was shown in a message: the next ones of the run are
    // told on the result line alone, until a send goes through.
    bool failureShown_ = false;
    // The secret of the running send: kept in the store once it worked, when the writer asked;
    // removed from the store when the server refused one read from there.
    QString secret_;
    bool keepSecret_ = false;
    bool secretFromStore_ = false;
    // A changed host key the writer accepted: the next step records it without asking again.
    QString acceptedHostKey_;
};
