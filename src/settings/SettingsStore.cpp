#include "settings/SettingsStore.h"

#include "core/AppError.h"
#include "core/AppInfo.h"
#include "core/MainState.h"
#include "platform/KeyStore.h"
#include "platform/Messages.h"
#include "settings/SettingsTable.h"

namespace {

// A missing value reads as empty text.
QString readText(KeyStore& store, const QString& name)
{
    const KeyStore::Value value = store.read(name);
    if (value.status == KeyStore::Status::WrongKind)
        throw AppError(QStringLiteral("'%1' のデータ型が不正です").arg(name));
    return value.status == KeyStore::Status::Text ? value.text : QString();
}

class ClosesStore {
public:
    explicit ClosesStore(KeyStore& store) : store_(store) {}
    ~ClosesStore() { store_.close(); }
    ClosesStore(const ClosesStore&) = delete;
    ClosesStore& operator=(const ClosesStore&) = delete;

private:
    KeyStore& store_;
};

} // namespace

void loadSettings(KeyStore& store, MainState& state, const QStringList& otherNames,
                  OtherTexts* others)
{
    if (!store.open())
        return;
    const ClosesStore closes(store);
    for (const QString& name : otherNames) {
        const KeyStore::Value value = store.read(name);
        if (others && value.status == KeyStore::Status::Text)
            others->insert(name, value.text);
    }
    for (const StoredValue& value : storedValues())
        readStoredValue(value, readText(store, value.name.toString()), state);
}

void saveSettings(KeyStore& store, const MainState& state, int fontSize, const QString& fontFace,
                  Messages& messages, const QList<std::pair<QString, QString>>& others)
{
    if (!store.openOrCreate())
        return;
    const ClosesStore closes(store);
    MainState saved = state;
    saved.EditorFontSize = fontSize;
    saved.EditorFontFace = fontFace;
    for (const StoredValue& value : storedValues())
        store.write(value.name.toString(), storedText(value, saved));
    for (const auto& [name, text] : others)
        store.write(name, text);

    if (!store.commit()) {
        Message message;
        message.text = QStringLiteral("レジストリに書き込めませんでした。");
        message.caption = appTitle();
        message.buttons = MsgButtons::Ok;
        message.icon = MsgIcon::None;
        message.defaultButton = MsgAnswer::Ok;
        messages.show(message);
    }
}
