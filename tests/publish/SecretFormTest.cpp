#include "publish/TSecretForm.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

// "Keep" can only be asked for where the desktop's secret store is open; elsewhere the box stays
// off whatever is done to it, and the window says why in words that name the reason.
TEST(SecretForm, KeepingIsOfferedOnlyWhereTheSecretStoreIsOpen)
{
    struct Row {
        const char* name;
        SecretKeeping keeping;
        const char16_t* why; // a part of the note; empty where it is kept
        bool boxShown;
    };
    const Row rows[] = {
        {"store open", SecretKeeping::Offered, u"", true},
        {"no store", SecretKeeping::NoStore, u"Secret Service）が使えない", true},
        {"left locked", SecretKeeping::StoreLocked, u"ロックが解除されなかった", true},
        {"ssh's key", SecretKeeping::AgentKey, u"ssh-add", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TSecretForm form(QStringLiteral("u@h のパスワード："), row.keeping);
        const bool kept = row.keeping == SecretKeeping::Offered;
        EXPECT_EQ(form.KeepCheck->isEnabled(), kept);
        EXPECT_EQ(form.KeepCheck->isVisibleTo(&form), row.boxShown);
        EXPECT_EQ(form.SecretEdit->echoMode(), QLineEdit::Password);
        form.SecretEdit->setText(QStringLiteral("pässword"));
        form.KeepCheck->setChecked(true);
        const SecretAnswer answer = form.answer();
        EXPECT_EQ(answer.secret, QStringLiteral("pässword"));
        EXPECT_EQ(answer.keep, kept);
        const auto* note = form.findChild<QLabel*>(QStringLiteral("NoStoreNote"));
        ASSERT_EQ(note != nullptr, !kept);
        if (note) {
            EXPECT_TRUE(note->text().contains(QString::fromUtf16(row.why)))
                << note->text().toStdString();
        }
    }
}

} // namespace
