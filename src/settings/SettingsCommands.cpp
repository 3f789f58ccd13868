#include "settings/SettingsCommands.h"

#include "commands/CommandTable.h"
#include "core/MainState.h"
#include "settings/SettingsStore.h"
#include "settings/TAppSetForm.h"
#include "settings/WindowPlace.h"
#include "text/Cp932.h"

#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>

namespace {

constexpr qsizetype maxFontFaceBytes = 31;

} // namespace

SettingsCommands::SettingsCommands(MainState& state, QPlainTextEdit* todayMemo,
                                   QPlainTextEdit* allMemo, Platform platform,
                                   std::function<TAppSetForm&()> window,
                                   std::function<void()> refocusEditor, QObject* parent)
    : QObject(parent), state_(state), todayMemo_(todayMemo), allMemo_(allMemo), platform_(platform),
      window_(std::move(window)), refocusEditor_(std::move(refocusEditor))
{
}

void SettingsCommands::addCommands(CommandTable& table)
{
    table.addRows(
        "Set.Work",
        {{CommandRow::Kind::Command, "SetWork", QStringLiteral("動作設定(&W)"), {}, [this] {
              AppSetBtnClick();
          }}});
}

void SettingsCommands::applyEditorFont()
{
    QFont font = todayMemo_->font();
    if (state_.EditorFontSize >= 1) // a size below 1 cannot be shown; the size stays
        font.setPointSize(state_.EditorFontSize);
    if (!state_.EditorFontFace.isEmpty())
        font.setFamily(text::truncateCp932(state_.EditorFontFace, maxFontFaceBytes));
    todayMemo_->setFont(font);
    allMemo_->setFont(font);
}

// A stored size that no editor can show (below 1 point) is kept as it was stored unless the
// writer has set a font in the settings window.
void SettingsCommands::restoreWindowPlace(QWidget* window, const QHash<QString, QString>& others)
{
    const std::optional<WindowPlace> place = parseWindowPlace(others.value(windowPlaceName));
    if (!place)
        return;
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas.append(screen->availableGeometry());
    if (!fitsOnAScreen(place->geometry, areas))
        return;
    window->setGeometry(place->geometry);
    if (place->maximised)
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
}

std::pair<QString, QString> SettingsCommands::windowPlace(const QWidget* window)
{
    return {windowPlaceName, windowPlaceText({window->normalGeometry(), window->isMaximized()})};
}

void SettingsCommands::save(const QList<std::pair<QString, QString>>& others)
{
    const QFont font = todayMemo_->font();
    const bool keepStoredSize = state_.EditorFontSize < 1 && !fontSetByWriter_;
    const int size = keepStoredSize ? state_.EditorFontSize : font.pointSize();
    saveSettings(platform_.keyStore, state_, size, font.family(), platform_.messages, others);
}

void SettingsCommands::AppSetBtnClick()
{
    if (window_().exec() == QDialog::Accepted)
        fontSetByWriter_ = true;
    refocusEditor_();
}
