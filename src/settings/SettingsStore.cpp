#include "settings/SettingsStore.h"

#include "core/AppError.h"
#include "core/AppInfo.h"
#include "core/MainState.h"
#include "platform/KeyStore.h"
#include "platform/Messages.h"

#include <array>

namespace {

struct Fragment {
    const char* name;
    QString HtmlSettings::*field;
};

// The stored order of the fragments: the weather end HtmlSky4 comes after HtmlSky6.
const std::array<Fragment, 12> fragments{{
    {"HtmlDate1", &HtmlSettings::HtmlDate1},
    {"HtmlDate2", &HtmlSettings::HtmlDate2},
    {"HtmlSky1", &HtmlSettings::HtmlSky1},
    {"HtmlSky2", &HtmlSettings::HtmlSky2},
    {"HtmlSky3", &HtmlSettings::HtmlSky3},
    {"HtmlSky5", &HtmlSettings::HtmlSky5},
    {"HtmlSky6", &HtmlSettings::HtmlSky6},
    {"HtmlSky4", &HtmlSettings::HtmlSky4},
    {"HtmlMain1", &HtmlSettings::HtmlMain1},
    {"HtmlMain2", &HtmlSettings::HtmlMain2},
    {"HtmlTitle1", &HtmlSettings::HtmlTitle1},
    {"HtmlTitle2", &HtmlSettings::HtmlTitle2},
}};

// Newest first, as RecentFiles holds them.
const std::array<const char*, 3> recentFileNames{"LoadLog", "LoadLog1", "LoadLog2"};

constexpr int defaultFontSize = 10;

// Any whole number that fits an int; anything else (also a number too big) gives the default.
int fontSizeFrom(const QString& text)
{
    bool ok = false;
    const int size = text.toInt(&ok, 10);
    return ok ? size : defaultFontSize;
}

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

void loadSettings(KeyStore& store, MainState& state)
{
    if (!store.open())
        return;
    const ClosesStore closes(store);
    const auto read = [&store](const char* name) {
        return readText(store, QString::fromLatin1(name));
    };

    // A stored empty fragment leaves the default in place.
    for (const Fragment& fragment : fragments) {
        const QString text = read(fragment.name);
        if (!text.isEmpty())
            state.Html.*fragment.field = text;
    }
    for (std::size_t i = 0; i < recentFileNames.size(); ++i)
        state.RecentFiles[i] = read(recentFileNames[i]);
    state.EditorFontSize = fontSizeFrom(read("EditFontSize"));
    state.EditorFontFace = read("EditFontFace");
    state.Html.HtmlSetFlags = HtmlFlags(read("HtmlSetFlags"));
    state.NewProcessFlag = read("NewProcessFlag") != u"F";
    state.FirstPageChangeFlag = read("FirstPageChangeFlag") == u"T" ? FirstPageChange::Never
                                                                    : FirstPageChange::ShowAtSwitch;
}

void saveSettings(KeyStore& store, const MainState& state, int fontSize, const QString& fontFace,
                  Messages& messages, const QList<std::pair<QString, QString>>& others)
{
    if (!store.openOrCreate())
        return;
    const ClosesStore closes(store);
    const auto write = [&store](const char* name, const QString& text) {
        store.write(QString::fromLatin1(name), text);
    };

    for (const Fragment& fragment : fragments)
        write(fragment.name, state.Html.*fragment.field);
    for (std::size_t i = 0; i < recentFileNames.size(); ++i)
        write(recentFileNames[i], state.RecentFiles[i]);
    write("EditFontSize", QString::number(fontSize));
    write("EditFontFace", fontFace);
    write("HtmlSetFlags", state.Html.HtmlSetFlags.text());
    // An explanation window already shown in this run is stored as "F": it comes up again in
    // the next run.
    write("NewProcessFlag", state.NewProcessFlag ? QStringLiteral("T") : QStringLiteral("F"));
    write("FirstPageChangeFlag", state.FirstPageChangeFlag == FirstPageChange::Never
                                     ? QStringLiteral("T")
                                     : QStringLiteral("F"));
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
