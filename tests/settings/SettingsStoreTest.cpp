#include "settings/SettingsStore.h"

#include "core/AppError.h"
#include "settings/SettingsTestData.h"
#include "support/FakePlatform.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

FakeKeyStore storeHolding(const QStringList& texts)
{
    FakeKeyStore store;
    store.present = true;
    for (int i = 0; i < texts.size(); ++i)
        store.values.insert(settingNames()[i], {KeyStore::Status::Text, texts[i]});
    return store;
}

} // namespace

TEST(SettingsLoad, MissingStoreReadsNothing)
{
    FakeKeyStore store;
    MainState state = startState();
    loadSettings(store, state);

    EXPECT_TRUE(store.readOrder.isEmpty());
    EXPECT_EQ(storedFields(state), storedFields(startState()));
    const std::vector<std::string> fields = storedFields(state);
    const std::vector<std::string> firstRun{"", "", "", "10", "", "00011", "T", "F"};
    EXPECT_EQ(std::vector<std::string>(fields.begin() + 12, fields.end()), firstRun);
}

TEST(SettingsLoad, ReadsEveryValueInOrder)
{
    FakeKeyStore store = storeHolding(sampleTexts());
    MainState state = startState();
    loadSettings(store, state);

    EXPECT_EQ(toStd(store.readOrder), toStd(settingNames()));
    EXPECT_EQ(storedFields(state), toStd(sampleTexts()));
}

TEST(SettingsLoad, ReadRules)
{
    struct Case {
        const char* name;
        std::optional<QString> stored; // nothing: the value is missing
        std::optional<QString> field;  // nothing: the field keeps its start value
    };
    const Case cases[] = {
        {"HtmlDate1", "<p>", "<p>"},
        {"HtmlDate1", "", std::nullopt},
        {"HtmlSky4", std::nullopt, std::nullopt},
        {"HtmlTitle2", " ", " "},
        {"LoadLog", "/a b/日記.html", "/a b/日記.html"},
        {"LoadLog1", "", ""},
        {"LoadLog2", std::nullopt, ""},
        {"EditFontSize", "3", "3"},
        {"EditFontSize", "-7", "-7"},
        {"EditFontSize", "2147483647", "2147483647"},
        {"EditFontSize", "abc", "10"},
        {"EditFontSize", "", "10"},
        {"EditFontSize", "12.5", "10"},
        {"EditFontSize", "99999999999", "10"},
        {"EditFontSize", "2147483648", "10"},
        {"EditFontSize", std::nullopt, "10"},
        {"EditFontFace", "ＭＳ 明朝", "ＭＳ 明朝"},
        {"EditFontFace", "", ""},
        {"EditFontFace", std::nullopt, ""},
        {"HtmlSetFlags", "01", "01"},
        {"HtmlSetFlags", "0000011111", "00000"},
        {"HtmlSetFlags", "xyz", "xyz"},
        {"HtmlSetFlags", "", ""},
        {"HtmlSetFlags", std::nullopt, ""},
        {"NewProcessFlag", "F", "F"},
        {"NewProcessFlag", "f", "T"},
        {"NewProcessFlag", "FF", "T"},
        {"NewProcessFlag", "", "T"},
        {"NewProcessFlag", std::nullopt, "T"},
        {"FirstPageChangeFlag", "T", "T"},
        {"FirstPageChangeFlag", "t", "F"},
        {"FirstPageChangeFlag", "2", "F"},
        {"FirstPageChangeFlag", "", "F"},
        {"FirstPageChangeFlag", std::nullopt, "F"},
    };
    // Start values unlike what any rule gives, so a value that is not read shows.
    MainState start = startState();
    start.RecentFiles = {"old 0", "old 1", "old 2"};
    start.EditorFontSize = 20;
    start.EditorFontFace = "Old Face";
    start.NewProcessFlag = false;
    start.FirstPageChangeFlag = FirstPageChange::Never;

    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " stored as "
                     + (c.stored ? '"' + c.stored->toStdString() + '"' : std::string("missing")));
        FakeKeyStore store;
        store.present = true;
        if (c.stored)
            store.values.insert(c.name, {KeyStore::Status::Text, *c.stored});
        MainState state = start;
        loadSettings(store, state);

        const qsizetype at = settingNames().indexOf(c.name);
        ASSERT_GE(at, 0);
        EXPECT_EQ(storedFields(state)[at],
                  c.field ? c.field->toStdString() : storedFields(start)[at]);
    }
}

TEST(SettingsLoad, WrongKindStopsTheLoadNamingTheValue)
{
    for (const QString name :
         {"HtmlDate1", "HtmlSky4", "LoadLog1", "EditFontSize", "FirstPageChangeFlag"}) {
        SCOPED_TRACE(name.toStdString());
        FakeKeyStore store = storeHolding(sampleTexts());
        store.values.insert(name, {KeyStore::Status::WrongKind, {}});
        MainState state = startState();
        try {
            loadSettings(store, state);
            ADD_FAILURE() << "no error";
        } catch (const AppError& error) {
            EXPECT_EQ(error.text(), "'" + name + "' のデータ型が不正です");
        }

        const qsizetype at = settingNames().indexOf(name);
        EXPECT_EQ(toStd(store.readOrder), toStd(settingNames().mid(0, at + 1)));
        std::vector<std::string> expected = toStd(sampleTexts().mid(0, at));
        const std::vector<std::string> start = storedFields(startState());
        expected.insert(expected.end(), start.begin() + at, start.end());
        EXPECT_EQ(storedFields(state), expected);
    }
}

TEST(SettingsSave, WritesTwentyValuesInOrder)
{
    MainState state = startState();
    setFields(state, sampleTexts());
    // The font is the editor's at the time of saving, not what the load left in the state.
    state.EditorFontSize = 99;
    state.EditorFontFace = "not saved";
    FakeKeyStore store;
    FakeMessages messages;
    saveSettings(store, state, 12, "IPAexゴシック", messages);

    EXPECT_EQ(toStd(store.writeOrder), toStd(settingNames()));
    EXPECT_EQ(store.commits, 1);
    EXPECT_TRUE(messages.shown.isEmpty());
    QStringList written;
    for (const QString& name : settingNames())
        written << store.values.value(name).text;
    EXPECT_EQ(toStd(written), toStd(sampleTexts()));
}

TEST(SettingsSave, ValuesAsWritten)
{
    struct Case {
        const char* name;
        QString field; // as setFields takes it
        QString written;
    };
    const Case cases[] = {
        {"HtmlSky4", "", ""},
        {"LoadLog2", "", ""},
        {"HtmlSetFlags", "01", "01"},
        {"HtmlSetFlags", "", ""},
        {"HtmlSetFlags", "0000011111", "00000"},
        {"NewProcessFlag", "F", "F"},
        {"NewProcessFlag", "T", "T"},
        {"NewProcessFlag", "f", "T"},
        {"FirstPageChangeFlag", "T", "T"},
        {"FirstPageChangeFlag", "2", "F"},
        {"FirstPageChangeFlag", "F", "F"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " = " + c.field.toStdString());
        QStringList fields = sampleTexts();
        fields[settingNames().indexOf(c.name)] = c.field;
        MainState state;
        setFields(state, fields);
        FakeKeyStore store;
        FakeMessages messages;
        saveSettings(store, state, 12, "IPAexゴシック", messages);

        EXPECT_EQ(store.values.value(c.name).text.toStdString(), c.written.toStdString());
    }
}

TEST(SettingsSave, FailedWriteShowsTheMessage)
{
    FakeKeyStore store;
    store.commitFails = true;
    FakeMessages messages;
    messages.answer({MsgAnswer::Ok});
    saveSettings(store, startState(), 10, "Sans", messages);

    ASSERT_EQ(messages.shown.size(), 1);
    const Message& shown = messages.shown.front();
    EXPECT_EQ(shown.text, "レジストリに書き込めませんでした。");
    EXPECT_EQ(shown.caption, "Pelmora 2");
    EXPECT_EQ(shown.buttons, MsgButtons::Ok);
    EXPECT_EQ(shown.icon, MsgIcon::None);
    EXPECT_TRUE(store.values.isEmpty());
}

TEST(SettingsSave, UncreatableStoreSavesNothingAndSaysNothing)
{
    FakeKeyStore store;
    store.cannotCreate = true;
    FakeMessages messages;
    saveSettings(store, startState(), 10, "Sans", messages);

    EXPECT_TRUE(store.writeOrder.isEmpty());
    EXPECT_EQ(store.commits, 0);
    EXPECT_TRUE(messages.shown.isEmpty());
}
