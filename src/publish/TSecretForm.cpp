#include "publish/TSecretForm.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

// Why nothing typed here can be kept; empty where it can.
QString notKeptNote(SecretKeeping keeping)
{
    switch (keeping) {
    case SecretKeeping::Offered: break;
    case SecretKeeping::NoStore:
        return QStringLiteral("デスクトップのキーリング（Secret "
                              "Service）が使えないため記録できません。送るたびに尋ねます。");
    case SecretKeeping::StoreLocked:
        return QStringLiteral("デスクトップのキーリングのロックが解除されなかったため、"
                              "記録できません。送るたびに尋ねます。");
    case SecretKeeping::AgentKey:
        return QStringLiteral("パスフレーズは記録しません。鍵を ssh-add で ssh-agent "
                              "に加えておくと、送るたびには尋ねられません。");
    }
    return {};
}

} // namespace

TSecretForm::TSecretForm(const QString& prompt, SecretKeeping keeping, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TSecretForm"));
    setWindowTitle(QStringLiteral("公開"));
    PromptLabel = new QLabel(prompt, this);
    PromptLabel->setObjectName(QStringLiteral("PromptLabel"));
    PromptLabel->setWordWrap(true);
    SecretEdit = new QLineEdit(this);
    SecretEdit->setObjectName(QStringLiteral("SecretEdit"));
    SecretEdit->setEchoMode(QLineEdit::Password);
    SecretEdit->setAccessibleName(prompt);
    PromptLabel->setBuddy(SecretEdit);
    KeepCheck = new QCheckBox(
        QStringLiteral("デスクトップのキーリングに記録して、次から尋ねない(&K)"), this);
    KeepCheck->setObjectName(QStringLiteral("KeepCheck"));
    KeepCheck->setAccessibleName(QStringLiteral("デスクトップのキーリングに記録する"));
    const QString note = notKeptNote(keeping);
    KeepCheck->setEnabled(note.isEmpty());
    KeepCheck->setToolTip(note);
    KeepCheck->setAccessibleDescription(note);
    KeepCheck->setVisible(keeping != SecretKeeping::AgentKey);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("SecretButtons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PromptLabel);
    layout->addWidget(SecretEdit);
    layout->addWidget(KeepCheck);
    if (!note.isEmpty()) {
        auto* noteLabel = new QLabel(note, this);
        noteLabel->setObjectName(QStringLiteral("NoStoreNote"));
        noteLabel->setWordWrap(true);
        layout->addWidget(noteLabel);
    }
    layout->addWidget(buttons);
    SecretEdit->setFocus();
}

SecretAnswer TSecretForm::answer() const
{
    return {SecretEdit->text(), KeepCheck->isEnabled() && KeepCheck->isChecked()};
}

std::optional<SecretAnswer> askSecretInDialog(QWidget* window, const QString& prompt,
                                              SecretKeeping keeping)
{
    TSecretForm form(prompt, keeping, window);
    if (form.exec() != QDialog::Accepted)
        return std::nullopt;
    return form.answer();
}
