#pragma once

#include "platform/Platform.h"
#include "publish/PublishSettings.h"
#include "publish/SecretStore.h"
#include "publish/TSecretForm.h"
#include "publish/UploadJob.h"

#include <QObject>

#include <functional>
#include <optional>

class DiaryDocument;
class QLabel;
class QProgressBar;
class QPushButton;
class QWidget;

// The publishing commands of the diary tab: the settings window, sending the saved diary in
// the background with its progress and a cancel button under the editor, and sending after every
// save when the diary's settings ask for it.
class Publisher : public QObject {
    Q_OBJECT
public:
    // Puts the progress row at the bottom of `tab`.
    Publisher(DiaryDocument* document, QWidget* tab, Platform platform, QWidget* window);

    // "公開の設定": the settings of the open diary; true when the writer pressed OK.
    bool PublishSetClick();
    // "サイトへ送る": sends the saved diary, asking to save first when it is modified.
    void PublishSendClick();
    // "送る前に確認": shows what will be sent and where, and sends on the writer's yes.
    void PublishCheckClick();
    // Whether a send can start now: a diary document open and no send running.
    bool sendOffered() const;
    // Asked before the window closes: true when no send runs, or the writer chose to stop it.
    bool mayClose();

    // Asks for the password or the passphrase, offering to keep it when the desktop has a
    // secret store (nullopt: the writer cancelled). Tests replace it.
    std::function<std::optional<SecretAnswer>(const QString& prompt, bool storeOffered)> askSecret;
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

    QWidget* PublishRow;
    QProgressBar* PublishProgress;
    QPushButton* PublishCancelBtn;
    QLabel* PublishResult;

signals:
    void sendingChanged();

private:
    bool readyToSend();
    enum class Step { LookUp, Send };
    void start(Step step, bool freshSecret);
    QString checkText(const RemoteFile& remote) const;
    std::optional<QString> secretFor(const SiteAddress& site);
    QString settleSecret(UploadOutcome outcome);
    void sendAfterSave();
    bool trustHost(const HostKeySeen& seen);
    QString knownHostsNote() const;
    bool offerNewHostKey(const UploadResult& result);
    bool replaceReadOnly(const QString& remotePath);
    bool trustCertificate(const CertificateSeen& seen);
    void showProgress(qint64 sent, qint64 total);
    void showResult(const UploadResult& result);
    QString diaryPath() const;

    DiaryDocument* document_;
    Platform platform_;
    QWidget* window_;
    UploadJob job_;
    PublishSettings sending_;
    Step step_ = Step::Send;
    // The secret of the running send: kept in the store once it worked, when the writer asked;
    // removed from the store when the server refused one read from there.
    QString secret_;
    bool keepSecret_ = false;
    bool secretFromStore_ = false;
    // A changed host key the writer accepted: the next step records it without asking again.
    QString acceptedHostKey_;
};
