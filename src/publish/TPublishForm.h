#pragma once

#include "publish/PublishSettings.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class StatusLabel;

// "公開の設定": where one diary is published and how the program signs in there. Passwords and
// passphrases are not asked here; they are asked when the diary is sent.
class TPublishForm : public QDialog {
    Q_OBJECT
public:
    explicit TPublishForm(QWidget* parent = nullptr);

    void setSettings(const PublishSettings& settings);
    PublishSettings settings() const;

    QComboBox* ProtocolBox;
    QLineEdit* HostEdit;
    QSpinBox* PortEdit;
    QLineEdit* UserEdit;
    QLineEdit* FolderEdit;
    QLineEdit* RemoteNameEdit;
    QComboBox* SignInBox;
    QLineEdit* KeyFileEdit;
    QPushButton* KeyFileBtn;
    QLabel* SshConfigNote; // says that ~/.ssh/config is read (SFTP only)
    QCheckBox* SendAfterSaveCheck;
    // FTPS: the certificate key kept for the server and port, and forgetting it.
    StatusLabel* CertificateNote;
    QPushButton* ForgetCertificateBtn;
    QPushButton* OkBtn;

    // The file of the certificates' keys the writer trusted.
    QString pinnedCertificates;

private:
    void ProtocolBoxChange();
    void SignInBoxChange();
    void KeyFileBtnClick();
    void OkBtnClick();
    void showPinnedCertificate();
    void ForgetCertificateBtnClick();
};
