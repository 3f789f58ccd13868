#include "publish/TSecretForm.h"

#include <QCheckBox>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

// "Keep" can only be asked for where the desktop has a secret store; where it has none the box
// stays off whatever is done to it, and the window says why.
TEST(SecretForm, KeepingIsOfferedOnlyWithASecretStore)
{
    for (const bool storeOffered : {true, false}) {
        TSecretForm form(QStringLiteral("u@h のパスワード："), storeOffered);
        EXPECT_EQ(form.KeepCheck->isEnabled(), storeOffered);
        EXPECT_EQ(form.SecretEdit->echoMode(), QLineEdit::Password);
        form.SecretEdit->setText(QStringLiteral("pässword"));
        form.KeepCheck->setChecked(true);
        const SecretAnswer answer = form.answer();
        EXPECT_EQ(answer.secret, QStringLiteral("pässword"));
        EXPECT_EQ(answer.keep, storeOffered);
        EXPECT_EQ(form.findChild<QWidget*>(QStringLiteral("NoStoreNote")) != nullptr,
                  !storeOffered);
    }
}

} // namespace
