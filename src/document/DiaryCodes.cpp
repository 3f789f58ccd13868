#include "document/DiaryCodes.h"

#include <QTextDocument>

DiaryCodes::DiaryCodes(QTextDocument* document, QObject* parent)
    : QObject(parent), document_(document)
{
    connect(document_, &QTextDocument::contentsChange, this, &DiaryCodes::contentsChange);
}

void DiaryCodes::reset(text::ReadCodes codes, text::Encoding encoding)
{
    codes_ = std::move(codes);
    encoding_ = encoding;
}

text::CodesRead DiaryCodes::forEncoding(text::Encoding encoding) const
{
    return {&codes_, encoding == encoding_};
}

// Positions in the document are offsets in its raw text, one unit per line break, as in the
// text the codes were noted in.
void DiaryCodes::contentsChange(int position, int removed, int added)
{
    if (codes_.empty())
        return;
    text::moveReadCodes(codes_, position, removed, added,
                        [this](qsizetype at) { return document_->characterAt(int(at)).unicode(); });
}
