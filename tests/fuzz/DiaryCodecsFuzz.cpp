// The EUC-JP and UTF-8 codecs and the encoding guess on any bytes.
//
// For any bytes B and each encoding, with T = decode(B) and E = encode(T):
//  - every character of T can be written: E lists nothing unencodable;
//  - UTF-8: E is B, byte for byte; read into an editor and written from it, B gives B with each
//    CR LF, lone CR and lone LF written as CR LF;
//  - EUC-JP: decoding E gives T again and encoding that gives E (a duplicate code may have
//    become the code Windows writes, nothing else);
//  - the guess names an encoding without failing, and its declaration lies inside the bytes.
#include "FuzzCheck.h"
#include "support/CrLfBytes.h"
#include "text/EncodingGuess.h"
#include "text/EucJp.h"
#include "text/Utf8Text.h"

#include <cstdint>

using fuzz::require;

namespace {

void checkUtf8(QByteArrayView bytes)
{
    const text::Encoded written = text::encodeUtf8(text::decodeUtf8(bytes));
    require(written.unencodable.isEmpty(), "every decoded character can be written");
    require(written.bytes == bytes, "UTF-8 bytes come back byte for byte");
    require(text::encodeUtf8FromEditor(text::decodeUtf8ToEditor(bytes)).bytes == withCrLf(bytes),
            "the editor's UTF-8 round trip differs only in line ends");
}

void checkEucJp(QByteArrayView bytes)
{
    const QString decoded = text::decodeEucJp(bytes);
    const text::Encoded written = text::encodeEucJp(decoded);
    require(written.unencodable.isEmpty(), "every decoded character can be written");
    require(text::decodeEucJp(written.bytes) == decoded, "the written bytes read back the same");
    require(text::encodeEucJp(decoded).bytes == written.bytes, "a second save changes nothing");
    const QString editor = text::decodeEucJpToEditor(bytes);
    require(text::decodeEucJpToEditor(text::encodeEucJpFromEditor(editor).bytes) == editor,
            "the editor's EUC-JP round trip reads back the same");
}

void checkGuess(QByteArrayView bytes)
{
    const text::EncodingGuess guess = text::guessEncoding(bytes);
    require(!guess.used.byteOrderMark || bytes.startsWith("\xEF\xBB\xBF"),
            "a byte order mark is only named when there is one");
    const QString head = QString::fromLatin1(bytes);
    if (const auto found = text::findCharsetDeclaration(head))
        require(found->position >= 0 && found->length > 0
                    && found->position + found->length <= head.size(),
                "the declaration lies inside the text");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    checkUtf8(bytes);
    checkEucJp(bytes);
    checkGuess(bytes);
    return 0;
}
