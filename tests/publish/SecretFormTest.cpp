#include "publish/TSecretForm.h"

#include <QCheckBox>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

// "Keep" can only be asked for where the desktop's secret store is open; elsewhere the box stays
// off whatever is done to it, and the window says why.
TEST(SecretForm, KeepingIsOfferedOnlyWhereTheSecretStoreIsOpen)
{
    for (const SecretKeeping keeping : {SecretKeeping::Offered, SecretKeeping::NoStore,
                                        SecretKeeping::StoreLocked, SecretKeeping::AgentKey}) {
        TSecretForm form(QStringLiteral("u@h のパスワード："), keeping);
        const bool kept = keeping == SecretKeeping::Offered;
        EXPECT_EQ(form.KeepCheck->isEnabled(), kept);
        EXPECT_EQ(form.SecretEdit->echoMode(), QLineEdit::Password);
        form.SecretEdit->setText(QStringLiteral("pässword"));
        form.KeepCheck->setChecked(true);
        const SecretAnswer answer = form.answer();
        EXPECT_EQ(answer.secret, QStringLiteral("pässword"));
        EXPECT_EQ(answer.keep, kept);
        EXPECT_EQ(form.findChild<QWidget*>(QStringLiteral("NoStoreNote")) != nullptr, !kept);
    }
}

} // namespace
