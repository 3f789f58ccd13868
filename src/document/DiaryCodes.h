#pragma once

#include "text/TextEncoding.h"

#include <QObject>

class QTextDocument;

// The read codes of the diary's text (text::ReadCode), kept in step with every edit of the
// editor's document, so that a save writes each character the writer did not touch as it was
// read. A character typed, pasted or inserted has none and takes the encoding's usual code.
class DiaryCodes : public QObject {
    Q_OBJECT
public:
    DiaryCodes(QTextDocument* document, QObject* parent);

    // The codes of the text now in the document, read in `encoding`; none for a new text.
    void reset(text::ReadCodes codes = {}, text::Encoding encoding = {});
    // The codes as an encoder writing `encoding` takes them: its own codes, or marks of the
    // characters read from a file in another encoding.
    text::CodesRead forEncoding(text::Encoding encoding) const;

private:
    void contentsChange(int position, int removed, int added);

    QTextDocument* document_;
    text::ReadCodes codes_;
    text::Encoding encoding_ = {};
};
