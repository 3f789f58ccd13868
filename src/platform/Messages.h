#pragma once

#include <QList>
#include <QString>

#include <utility>

// The standard message boxes of the program: which buttons, which icon, which answer.
enum class MsgButtons { Ok, YesNo, YesNoCancel };
enum class MsgIcon { None, Information, Question, Exclamation, Stop };
enum class MsgAnswer { Ok, Yes, No, Cancel };

struct Message {
    QString text;
    QString caption;
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
    // The button Enter presses. Esc presses Cancel when there is one, else No, else OK.
    MsgAnswer defaultButton = MsgAnswer::Ok;
    // Captions of the question's own, in place of the standard ones ("はい", "いいえ", ...).
    QList<std::pair<MsgAnswer, QString>> buttonCaptions = {};
};

class Messages {
public:
    virtual ~Messages() = default;
    // Shows the box modally and returns the button pressed (closing the box counts as Esc).
    virtual MsgAnswer show(const Message& message) = 0;
};
