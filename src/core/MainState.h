#pragma once

#include <QString>

#include <array>

// The positions of HtmlSetFlags, counted from 1.
enum HtmlFlag : int {
    DateStyleFlag = 1,       // "0": 1999年3月27日, else 1999/3/27.
    WeekdayShownFlag = 2,    // "0": the weekday follows the date
    WeekdayLanguageFlag = 3, // "0": Japanese "(土)", else English "Sat."; only with position 2
    RuleAfterEntryFlag = 4,  // "0": a line "<HR>" follows the entry
    AutoBreakFlag = 5,       // "0": "<BR>" at the end of every body line
};

// The five rendering switches, one character each, "0" meaning the first choice or on. A
// position past the end of the text is empty: neither "0" nor "1". A character read from the
// store is kept as it stands, so that it is written back unchanged.
class HtmlFlags {
public:
    static constexpr int count = 5;

    HtmlFlags() = default;
    // The first five characters of text; the positions it does not reach are empty.
    explicit HtmlFlags(const QString& text) : text_(text.left(count)) {}

    // The characters up to the first empty position.
    const QString& text() const { return text_; }
    // Whether the position holds "0" or "1"; an empty position holds neither.
    bool isZero(HtmlFlag position) const { return at(position) == u'0'; }
    bool isOne(HtmlFlag position) const { return at(position) == u'1'; }

    friend bool operator==(const HtmlFlags&, const HtmlFlags&) = default;

private:
    QChar at(HtmlFlag position) const
    {
        return position <= text_.size() ? text_.at(position - 1) : QChar();
    }

    QString text_;
};

// The twelve HTML fragments an entry is rendered with, and the five rendering switches.
struct HtmlSettings {
    QString HtmlDate1;
    QString HtmlDate2;
    QString HtmlSky1;
    QString HtmlSky2;
    QString HtmlSky3;
    QString HtmlSky5;
    QString HtmlSky6;
    QString HtmlSky4;
    QString HtmlTitle1;
    QString HtmlTitle2;
    QString HtmlMain1;
    QString HtmlMain2;
    HtmlFlags HtmlSetFlags{QStringLiteral("00011")};
};

// The tab of the main window that is in front; it decides which editor the tag commands use.
enum class Page { Today, Diary };

// Whether the explanation window comes up at the first switch to the second tab.
enum class FirstPageChange {
    ShowAtSwitch, // at the next switch to the second tab
    ShownThisRun, // shown in this run: not again before the next run
    Never,
};

// The working state the main window owns for the whole run. Other windows get the part they
// need by reference; the editors themselves live on the main window.
struct MainState {
    int EditorFontSize = 10;
    QString EditorFontFace;
    QString ProgramFolder; // always ends with the path separator
    QString TodayTitle;
    HtmlSettings Html;
    // Copies of the diary document's file name and loaded state (DiaryDocument::fileName,
    // isLoaded), following its signals; the document owns them.
    QString CurrentFileName;
    std::array<QString, 3> RecentFiles; // newest first
    bool NewProcessFlag = true; // creating a new diary asks whether to load the base template
    Page CurrentPage = Page::Today;
    bool DocumentLoaded = false;
    FirstPageChange FirstPageChangeFlag = FirstPageChange::ShowAtSwitch;
};
