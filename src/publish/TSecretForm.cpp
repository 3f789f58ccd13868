#include "publish/TSecretForm.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

TSecretForm::TSecretForm(const QString& prompt, bool storeOffered, QWidget* parent)
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
    KeepCheck->setEnabled(storeOffered);
    if (!storeOffered) {
        KeepCheck->setToolTip(
            QStringLiteral("デスクトップのキーリング（Secret "
                           "Service）が使えないため記録できません。送るたびに尋ねます。"));
        KeepCheck->setAccessibleDescription(KeepCheck->toolTip());
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("SecretButtons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PromptLabel);
    layout->addWidget(SecretEdit);
    layout->addWidget(KeepCheck);
    if (!storeOffered) {
        auto* note = new QLabel(KeepCheck->toolTip(), this);
        note->setObjectName(QStringLiteral("NoStoreNote"));
        note->setWordWrap(true);
        layout->addWidget(note);
    }
    layout->addWidget(buttons);
    SecretEdit->setFocus();
}

SecretAnswer TSecretForm::answer() const
{
    return {SecretEdit->text(), KeepCheck->isEnabled() && KeepCheck->isChecked()};
}

std::optional<SecretAnswer> askSecretInDialog(QWidget* window, const QString& prompt,
                                              bool storeOffered)
{
    TSecretForm form(prompt, storeOffered, window);
    if (form.exec() != QDialog::Accepted)
        return std::nullopt;
    return form.answer();
}
