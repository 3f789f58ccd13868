// The EUC-JP and UTF-8 codecs and the encoding guess on any bytes.
//
// For any bytes B and each encoding, with T = decode(B) and E = encode(T):
//  - every character of T can be written: E lists nothing unencodable;
//  - UTF-8: E is B, byte for byte; read into an editor and written from it with the line end all
//    of B's line ends share (lineEndOf), B gives B with each line end written as that one;
//  - EUC-JP (every row of EUC-JP-MS): decoding E gives T again and encoding that gives E (a
//    duplicate code may have become the code EUC-JP-MS writes, nothing else); with the codes T
//    was read from, E is B, and the editor's round trip is as UTF-8's;
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
    const text::LineEnd lineEnd = text::lineEndOf(bytes);
    require(text::encodeUtf8FromEditor(text::decodeUtf8ToEditor(bytes), lineEnd).bytes
                == withLineEnds(bytes, lineEnd),
            "the editor's UTF-8 round trip gives the bytes back, line ends alike");
}

void checkEucJp(QByteArrayView bytes)
{
    const QString decoded = text::decodeEucJp(bytes);
    const text::Encoded written = text::encodeEucJp(decoded);
    require(written.unencodable.isEmpty(), "every decoded character can be written");
    require(text::decodeEucJp(written.bytes) == decoded, "the written bytes read back the same");
    require(text::encodeEucJp(decoded).bytes == written.bytes, "a second save changes nothing");
    text::ReadCodes codes;
    require(text::encodeEucJp(text::decodeEucJp(bytes, &codes), {&codes}).bytes == bytes,
            "bytes read with their codes are written back as they were");
    codes.clear();
    const QString editor = text::decodeEucJpToEditor(bytes, &codes);
    const text::LineEnd lineEnd = text::lineEndOf(bytes);
    require(text::encodeEucJpFromEditor(editor, lineEnd, {&codes}).bytes
                == withLineEnds(bytes, lineEnd),
            "the editor's EUC-JP round trip with the codes read gives the bytes back");
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
