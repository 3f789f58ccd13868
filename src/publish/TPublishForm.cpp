#include "publish/TPublishForm.h"

#include "find/StatusLabel.h"
#include "publish/CertificatePins.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardItemModel>

namespace {

template <typename Control> Control* named(Control* control, const char* name, const QString& label)
{
    control->setObjectName(QLatin1String(name));
    control->setAccessibleName(label);
    return control;
}

void addRow(QFormLayout* form, const QString& caption, QWidget* field, QLayout* row = nullptr)
{
    auto* label = new QLabel(caption);
    label->setBuddy(field);
    if (row)
        form->addRow(label, row);
    else
        form->addRow(label, field);
}

constexpr int sftpPort = 22;
constexpr int ftpsPort = 21;

} // namespace

TPublishForm::TPublishForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TPublishForm"));
    setWindowTitle(QStringLiteral("公開の設定"));
    ProtocolBox = named(new QComboBox, "ProtocolBox", QStringLiteral("方式"));
    // In the order of SiteAddress::Protocol. Plain FTP is not offered: it sends the password
    // as it is typed.
    ProtocolBox->addItems({QStringLiteral("SFTP"), QStringLiteral("FTPS（明示的 TLS）")});
    HostEdit = named(new QLineEdit, "HostEdit", QStringLiteral("サーバー"));
    PortEdit = named(new QSpinBox, "PortEdit", QStringLiteral("ポート"));
    PortEdit->setRange(1, 65535);
    UserEdit = named(new QLineEdit, "UserEdit", QStringLiteral("ユーザー名"));
    FolderEdit = named(new QLineEdit, "FolderEdit", QStringLiteral("サーバーのフォルダー"));
    FolderEdit->setPlaceholderText(
        QStringLiteral("例：public_html/diary（/で始めるとルートから）"));
    RemoteNameEdit =
        named(new QLineEdit, "RemoteNameEdit", QStringLiteral("サーバーでのファイル名"));
    SignInBox = named(new QComboBox, "SignInBox", QStringLiteral("サインインの方法"));
    SignInBox->addItems({QStringLiteral("パスワード"), QStringLiteral("SSH鍵（ssh-agent）"),
                         QStringLiteral("SSH鍵ファイル")});
    KeyFileEdit = named(new QLineEdit, "KeyFileEdit", QStringLiteral("鍵ファイル"));
    KeyFileBtn = named(new QPushButton(QStringLiteral("参照(&B)...")), "KeyFileBtn",
                       QStringLiteral("鍵ファイルを選ぶ"));
    const QString sshNote =
        QStringLiteral("SFTP は ~/.ssh/config を読みます。そこにある Host の別名をサーバーに"
                       "書くと、その HostName・User・Port・IdentityFile・ProxyJump を使います"
                       "（ポート 22、ユーザー名が空のときは別名のもの）。");
    SshConfigNote = named(new QLabel(sshNote), "SshConfigNote", sshNote);
    SshConfigNote->setWordWrap(true);
    SendAfterSaveCheck = named(new QCheckBox(QStringLiteral("保存したら送る(&S)")),
                               "SendAfterSaveCheck", QStringLiteral("保存したら送る"));

    CertificateNote = new StatusLabel("CertificateNote", QStringLiteral("証明書の記録"), nullptr);
    CertificateNote->setWordWrap(true);
    ForgetCertificateBtn = named(new QPushButton(QStringLiteral("記録を消す(&R)")),
                                 "ForgetCertificateBtn", QStringLiteral("証明書の記録を消す"));

    auto* keyRow = new QHBoxLayout;
    keyRow->addWidget(KeyFileEdit, 1);
    keyRow->addWidget(KeyFileBtn);
    auto* form = new QFormLayout;
    addRow(form, QStringLiteral("方式(&P)"), ProtocolBox);
    addRow(form, QStringLiteral("サーバー(&H)"), HostEdit);
    addRow(form, QStringLiteral("ポート(&O)"), PortEdit);
    addRow(form, QStringLiteral("ユーザー名(&U)"), UserEdit);
    addRow(form, QStringLiteral("フォルダー(&F)"), FolderEdit);
    addRow(form, QStringLiteral("ファイル名(&N)"), RemoteNameEdit);
    addRow(form, QStringLiteral("サインイン(&I)"), SignInBox);
    addRow(form, QStringLiteral("鍵ファイル(&K)"), KeyFileEdit, keyRow);
    form->addRow(SshConfigNote);
    auto* certificateRow = new QHBoxLayout;
    certificateRow->addWidget(ForgetCertificateBtn);
    certificateRow->addStretch(1);
    form->addRow(QStringLiteral("証明書"), certificateRow);
    form->addRow(CertificateNote);
    form->addRow(SendAfterSaveCheck);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    OkBtn = named(buttons->button(QDialogButtonBox::Ok), "OkBtn", QStringLiteral("OK"));
    named(buttons->button(QDialogButtonBox::Cancel), "CancelBtn", QStringLiteral("キャンセル"))
        ->setText(QStringLiteral("キャンセル"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(ProtocolBox, &QComboBox::currentIndexChanged, this, &TPublishForm::ProtocolBoxChange);
    connect(SignInBox, &QComboBox::currentIndexChanged, this, &TPublishForm::SignInBoxChange);
    connect(KeyFileBtn, &QPushButton::clicked, this, &TPublishForm::KeyFileBtnClick);
    connect(ForgetCertificateBtn, &QPushButton::clicked, this,
            &TPublishForm::ForgetCertificateBtnClick);
    connect(HostEdit, &QLineEdit::textChanged, this, &TPublishForm::showPinnedCertificate);
    connect(PortEdit, &QSpinBox::valueChanged, this, &TPublishForm::showPinnedCertificate);
    connect(buttons, &QDialogButtonBox::accepted, this, &TPublishForm::OkBtnClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    SignInBoxChange();
    showPinnedCertificate();
}

void TPublishForm::setSettings(const PublishSettings& settings)
{
    const SiteAddress& site = settings.site;
    ProtocolBox->setCurrentIndex(int(site.protocol));
    HostEdit->setText(site.host);
    PortEdit->setValue(site.port);
    UserEdit->setText(site.user);
    FolderEdit->setText(site.folder);
    RemoteNameEdit->setText(site.fileName);
    SignInBox->setCurrentIndex(int(site.signIn));
    KeyFileEdit->setText(site.keyFile);
    SendAfterSaveCheck->setChecked(settings.sendAfterSave);
    showPinnedCertificate();
}

PublishSettings TPublishForm::settings() const
{
    PublishSettings settings;
    SiteAddress& site = settings.site;
    site.protocol = SiteAddress::Protocol(ProtocolBox->currentIndex());
    site.host = HostEdit->text().trimmed();
    site.port = PortEdit->value();
    site.user = UserEdit->text().trimmed();
    site.folder = FolderEdit->text().trimmed();
    site.fileName = RemoteNameEdit->text().trimmed();
    site.signIn = SiteAddress::SignIn(SignInBox->currentIndex());
    site.keyFile = KeyFileEdit->text();
    settings.sendAfterSave = SendAfterSaveCheck->isChecked();
    return settings;
}

// FTPS signs in by password only: the SSH key sign-ins are not offered for it. The port follows
// the protocol while it is the other protocol's usual one.
void TPublishForm::ProtocolBoxChange()
{
    const bool ftps = ProtocolBox->currentIndex() == int(SiteAddress::Protocol::Ftps);
    if (PortEdit->value() == (ftps ? sftpPort : ftpsPort))
        PortEdit->setValue(ftps ? ftpsPort : sftpPort);
    auto* model = static_cast<QStandardItemModel*>(SignInBox->model());
    for (const SiteAddress::SignIn key : {SiteAddress::SignIn::Agent, SiteAddress::SignIn::KeyFile})
        model->item(int(key))->setEnabled(!ftps);
    if (ftps)
        SignInBox->setCurrentIndex(int(SiteAddress::SignIn::Password));
    SshConfigNote->setVisible(!ftps);
    showPinnedCertificate();
}

// The key kept for the server and port as the fields hold them, for FTPS.
void TPublishForm::showPinnedCertificate()
{
    const bool ftps = ProtocolBox->currentIndex() == int(SiteAddress::Protocol::Ftps);
    const QByteArray pin =
        ftps ? pinnedKey(pinnedCertificates, HostEdit->text().trimmed(), PortEdit->value())
             : QByteArray();
    CertificateNote->setText(
        !ftps ? QStringLiteral("（FTPSのときに使います）")
        : pin.isEmpty() ? QStringLiteral("記録していません（初めて送るときに確かめます）")
                        : QStringLiteral("記録した公開鍵の指紋：%1").arg(pinFingerprint(pin)));
    ForgetCertificateBtn->setEnabled(!pin.isEmpty());
}

// Forgets the key kept for the server and port: the next send shows the certificate again.
void TPublishForm::ForgetCertificateBtnClick()
{
    const QString host = HostEdit->text().trimmed();
    if (!forgetPin(pinnedCertificates, host, PortEdit->value())) {
        CertificateNote->say(
            QStringLiteral("%1 を書き換えられませんでした。").arg(pinnedCertificates));
        return;
    }
    showPinnedCertificate();
    CertificateNote->say(QStringLiteral("記録を消しました。次に送るときに証明書を確かめます。"));
}

void TPublishForm::SignInBoxChange()
{
    const bool keyFile = SignInBox->currentIndex() == int(SiteAddress::SignIn::KeyFile);
    KeyFileEdit->setEnabled(keyFile);
    KeyFileBtn->setEnabled(keyFile);
}

void TPublishForm::KeyFileBtnClick()
{
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("鍵ファイルを選ぶ"), KeyFileEdit->text());
    if (!path.isEmpty())
        KeyFileEdit->setText(path);
}

// A site needs a server, a file name and, for FTPS, a user (SFTP takes an alias's User, or the
// local user's name as ssh does); the window stays open until it has them.
void TPublishForm::OkBtnClick()
{
    const PublishSettings edited = settings();
    const bool userNeeded = edited.site.protocol == SiteAddress::Protocol::Ftps;
    QLineEdit* missing = edited.site.host.isEmpty()                 ? HostEdit
                         : userNeeded && edited.site.user.isEmpty() ? UserEdit
                         : edited.site.fileName.isEmpty()           ? RemoteNameEdit
                                                                    : nullptr;
    if (missing) {
        missing->setFocus();
        return;
    }
    accept();
}
