// Build-time tool: asks glibc iconv ("CP932", Microsoft's code page 932) how it
// decodes every single byte and every two-byte pair and how it encodes every
// UTF-16 code unit, checks that the answers fit the shape the codec relies on,
// and writes them out as C++ arrays. The codec then needs no iconv and no
// start-up work at run time. It also lists every code of the characters that have
// more than one, and marks the codes a character is read from but not written with.
//
// The EUC-JP tables come the same way from glibc's "EUC-JP-MS", the EUC-JP Linux converts
// code page 932 text to (see writeEucJpTables).
//
// Usage: pelmora_cp932_tablegen OUTPUT.inc EUCJP_OUTPUT.inc

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iconv.h>
#include <string>
#include <vector>

namespace {

// Markers shared with Cp932.cpp (which static_asserts the same values).
constexpr std::uint16_t kLeadMarker = 0xFFFF;     // single-byte table: byte starts a pair
constexpr std::uint16_t kNoCode = 0xFFFF;         // encode table: unit has no code
constexpr std::uint16_t kByteEscapeBase = 0xF700; // stray byte b decodes to U+F700 + b

[[noreturn]] void fail(const std::string& what)
{
    std::fprintf(stderr, "pelmora_cp932_tablegen: %s\n", what.c_str());
    std::exit(1);
}

std::string hex(unsigned v)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04X", v);
    return buf;
}

enum class Outcome { Converted, Invalid, Incomplete };

struct Result {
    Outcome outcome;
    std::size_t consumed;
    std::vector<unsigned char> out;
};

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from))
    {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            fail(std::string("iconv_open(") + to + ", " + from
                 + ") failed: " + std::strerror(errno));
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    Result run(const void* in, std::size_t inLen)
    {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char outBuf[32];
        char* ip = const_cast<char*>(static_cast<const char*>(in));
        std::size_t il = inLen;
        char* op = outBuf;
        std::size_t ol = sizeof outBuf;
        const std::size_t r = iconv(cd_, &ip, &il, &op, &ol);
        Result res;
        res.consumed = inLen - il;
        res.out.assign(outBuf, op);
        if (r != static_cast<std::size_t>(-1))
            res.outcome = Outcome::Converted;
        else if (errno == EILSEQ)
            res.outcome = Outcome::Invalid;
        else if (errno == EINVAL)
            res.outcome = Outcome::Incomplete;
        else
            fail(std::string("unexpected iconv error: ") + std::strerror(errno));
        return res;
    }

private:
    iconv_t cd_;
};

// Decodes one complete input as exactly one UTF-16 unit, or returns false.
bool singleUnit(const Result& r, std::size_t inLen, std::uint16_t& unit)
{
    if (r.outcome != Outcome::Converted || r.consumed != inLen || r.out.size() != 2)
        return false;
    unit = static_cast<std::uint16_t>(r.out[0] | (r.out[1] << 8));
    return true;
}

template <typename T> void writeArray(std::FILE* f, const char* decl, const std::vector<T>& values)
{
    std::fprintf(f, "%s[%zu] = {\n", decl, values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        std::fprintf(f, "%s0x%X,", i % 16 == 0 ? "" : " ", static_cast<unsigned>(values[i]));
        if (i % 16 == 15 || i + 1 == values.size())
            std::fputc('\n', f);
    }
    std::fprintf(f, "};\n\n");
}

// A multi-byte character must not decode to ASCII, half a surrogate or a carried stray byte.
void checkMultiByteUnit(std::uint16_t unit, unsigned code)
{
    if (unit < 0x80 || (unit >= 0xD800 && unit <= 0xDFFF)
        || (unit >= kByteEscapeBase + 0x80 && unit <= kByteEscapeBase + 0xFF))
        fail("EUC-JP " + hex(code) + " decodes to unusable U+" + hex(unit));
}

// EUC-JP codes in one 16-bit value: below 0x100 one byte, 0x8Exx a half-width katakana,
// 0xA1A1-0xFEFE a pair of the two-byte plane, 0x2121-0x7E7E a character of the three-byte plane
// (written 0x8F, then both bytes with their high bit set). The planes are glibc's "EUC-JP-MS",
// EUC-JP as Linux converts it: JIS X 0208 with NEC's row 13 and the user-defined area (rows
// 85-94, U+E000-U+E3AB), JIS X 0212 after 0x8F with the IBM extensions it lacks and the rest of
// the user-defined area (U+E3AC-U+E757). A character is written as "EUC-JP-MS" writes it, or,
// when only glibc's "EUC-JP" has a code for it, with that one.
void writeEucJpTables(const char* path)
{
    std::vector<std::uint16_t> plane0208(94 * 94, 0), plane0212(94 * 94, 0);
    std::vector<std::vector<std::uint16_t>> codes(0x10000);
    Converter decoder("UTF-16LE", "EUC-JP-MS");
    for (unsigned row = 1; row <= 94; ++row) {
        for (unsigned cell = 1; cell <= 94; ++cell) {
            const auto r = static_cast<unsigned char>(row + 0xA0);
            const auto c = static_cast<unsigned char>(cell + 0xA0);
            const unsigned char pair[2] = {r, c};
            const unsigned char triple[3] = {0x8F, r, c};
            std::uint16_t unit = 0;
            if (singleUnit(decoder.run(pair, 2), 2, unit)) {
                checkMultiByteUnit(unit, r << 8 | c);
                plane0208[(row - 1) * 94 + cell - 1] = unit;
                codes[unit].push_back(static_cast<std::uint16_t>(r << 8 | c));
            }
            if (singleUnit(decoder.run(triple, 3), 3, unit)) {
                checkMultiByteUnit(unit, 0x8F0000 | r << 8 | c);
                plane0212[(row - 1) * 94 + cell - 1] = unit;
                codes[unit].push_back(
                    static_cast<std::uint16_t>((row + 0x20) << 8 | (cell + 0x20)));
            }
        }
    }
    auto decodes = [&](std::uint16_t code) -> std::uint16_t {
        if (code < 0x80)
            return code;
        if (code >= 0x8EA1 && code <= 0x8EDF)
            return static_cast<std::uint16_t>(0xFF61 + (code & 0xFF) - 0xA1);
        if (code < 0x8000)
            return plane0212[((code >> 8) - 0x21) * 94 + (code & 0xFF) - 0x21];
        return plane0208[((code >> 8) - 0xA1) * 94 + (code & 0xFF) - 0xA1];
    };
    Converter ms("EUC-JP-MS", "UTF-16LE"), jis("EUC-JP", "UTF-16LE");
    std::vector<std::uint16_t> encode(0x10000, kNoCode);
    for (unsigned u = 0; u < 0x10000; ++u) {
        if (u >= 0xD800 && u <= 0xDFFF)
            continue;
        if (u < 0x80 || (u >= kByteEscapeBase + 0x80 && u <= kByteEscapeBase + 0xFF)) {
            encode[u] = static_cast<std::uint16_t>(u < 0x80 ? u : u - kByteEscapeBase);
            continue;
        }
        const unsigned char in[2] = {static_cast<unsigned char>(u & 0xFF),
                                     static_cast<unsigned char>(u >> 8)};
        Result r = ms.run(in, 2);
        if (r.outcome != Outcome::Converted)
            r = jis.run(in, 2);
        if (r.outcome != Outcome::Converted)
            continue;
        const std::vector<unsigned char>& b = r.out;
        std::uint16_t code = kNoCode;
        if (b.size() == 1 && b[0] < 0x80)
            code = b[0];
        else if (b.size() == 2)
            code = static_cast<std::uint16_t>(b[0] << 8 | b[1]);
        else if (b.size() == 3 && b[0] == 0x8F)
            code = static_cast<std::uint16_t>((b[1] & 0x7F) << 8 | (b[2] & 0x7F));
        // A code of another shape (a C1 control as one byte) is not one the codec writes.
        if (code != kNoCode && decodes(code) == 0)
            fail("U+" + hex(u) + " encodes to an EUC-JP code the planes do not hold");
        encode[u] = code;
    }
    // Every character the planes hold is written with a code that reads back as itself; the
    // codes it was not written with are kept apart (kEucJpKept) so that a save can give them back.
    std::vector<std::uint32_t> kept0208((94 * 94 + 31) / 32, 0), kept0212((94 * 94 + 31) / 32, 0);
    for (unsigned i = 0; i < 94 * 94; ++i) {
        const unsigned row = i / 94, cell = i % 94;
        const std::uint16_t unit = plane0208[i];
        const auto code208 = static_cast<std::uint16_t>((row + 0xA1) << 8 | (cell + 0xA1));
        if (unit != 0 && (encode[unit] == kNoCode || decodes(encode[unit]) != unit))
            fail("EUC-JP character U+" + hex(unit) + " is not written back as itself");
        if (unit != 0 && encode[unit] != code208)
            kept0208[i / 32] |= 1u << (i % 32);
        const std::uint16_t unit212 = plane0212[i];
        const auto code212 = static_cast<std::uint16_t>((row + 0x21) << 8 | (cell + 0x21));
        if (unit212 != 0 && (encode[unit212] == kNoCode || decodes(encode[unit212]) != unit212))
            fail("EUC-JP character U+" + hex(unit212) + " is not written back as itself");
        if (unit212 != 0 && encode[unit212] != code212)
            kept0212[i / 32] |= 1u << (i % 32);
    }
    std::vector<std::uint32_t> alternates;
    for (unsigned u = 0; u < 0x10000; ++u) {
        if (codes[u].size() > 1) {
            for (std::uint16_t code : codes[u])
                alternates.push_back(static_cast<std::uint32_t>(u) << 16 | code);
        }
    }
    std::sort(alternates.begin(), alternates.end());

    std::FILE* f = std::fopen(path, "w");
    if (!f)
        fail(std::string("cannot write ") + path + ": " + std::strerror(errno));
    std::fprintf(f, "// Generated by pelmora_cp932_tablegen from glibc iconv \"EUC-JP-MS\" and "
                    "\"EUC-JP\". Do not edit.\n\n");
    writeArray(f, "alignas(64) static constexpr char16_t kEucJp0208", plane0208);
    writeArray(f, "alignas(64) static constexpr char16_t kEucJp0212", plane0212);
    writeArray(f, "alignas(64) static constexpr std::uint16_t kEucJpEncode", encode);
    writeArray(f, "static constexpr std::uint32_t kEucJpAlternates", alternates);
    writeArray(f, "alignas(64) static constexpr std::uint32_t kEucJp0208Kept", kept0208);
    writeArray(f, "alignas(64) static constexpr std::uint32_t kEucJp0212Kept", kept0212);
    if (std::fclose(f) != 0)
        fail(std::string("cannot write ") + path);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        fail("usage: pelmora_cp932_tablegen OUTPUT.inc EUCJP_OUTPUT.inc");

    Converter decoder("UTF-16LE", "CP932");
    Converter encoder("CP932", "UTF-16LE");

    // Single bytes: a character, the first byte of a pair, or nothing.
    std::vector<std::uint16_t> single(256);
    bool isLead[256] = {};
    bool isStray[256] = {};
    for (unsigned b = 0; b < 256; ++b) {
        const unsigned char byte = static_cast<unsigned char>(b);
        const Result r = decoder.run(&byte, 1);
        std::uint16_t unit = 0;
        if (singleUnit(r, 1, unit)) {
            // The codec relies on plain ASCII being the identity and on no single byte
            // landing in the range used for stray bytes.
            if (b < 0x80 && unit != b)
                fail("byte " + hex(b) + " does not decode to itself");
            if (unit >= kByteEscapeBase + 0x80 && unit <= kByteEscapeBase + 0xFF)
                fail("byte " + hex(b) + " decodes into the stray-byte range");
            single[b] = unit;
        } else if (r.outcome == Outcome::Incomplete && r.consumed == 0) {
            isLead[b] = true;
            single[b] = kLeadMarker;
        } else if (r.outcome == Outcome::Invalid && r.consumed == 0) {
            if (b < 0x80)
                fail("ASCII byte " + hex(b) + " is not a character");
            isStray[b] = true;
            single[b] = static_cast<std::uint16_t>(kByteEscapeBase + b);
        } else {
            fail("unexpected iconv answer for byte " + hex(b));
        }
    }

    // Pairs. Only bytes 0x80-0xFF can start one (checked below), so the table is
    // indexed by (lead - 0x80) << 8 | trail. 0 means "not a character".
    std::vector<std::uint16_t> pairs(0x8000, 0);
    std::size_t pairCount = 0;
    for (unsigned lead = 0; lead < 256; ++lead) {
        if (!isLead[lead])
            continue;
        if (lead < 0x80)
            fail("ASCII byte " + hex(lead) + " starts a pair");
        for (unsigned trail = 0; trail < 256; ++trail) {
            const unsigned char in[2] = {static_cast<unsigned char>(lead),
                                         static_cast<unsigned char>(trail)};
            const Result r = decoder.run(in, 2);
            std::uint16_t unit = 0;
            if (singleUnit(r, 2, unit)) {
                if (unit == 0 || (unit >= 0xD800 && unit <= 0xDFFF)
                    || (unit >= kByteEscapeBase + 0x80 && unit <= kByteEscapeBase + 0xFF))
                    fail("pair " + hex((lead << 8) | trail) + " decodes to unusable U+"
                         + hex(unit));
                pairs[((lead - 0x80) << 8) | trail] = unit;
                ++pairCount;
            } else if (r.outcome == Outcome::Invalid && r.consumed == 0) {
                // not a character: the codec keeps the lead byte as a stray byte
            } else {
                fail("unexpected iconv answer for pair " + hex((lead << 8) | trail));
            }
        }
    }

    // Encoding, one UTF-16 unit at a time. Values below 0x100 are one byte, others
    // two bytes (high byte first); kNoCode marks units without a code.
    std::vector<std::uint16_t> encode(0x10000, kNoCode);
    std::size_t encodable = 0;
    for (unsigned u = 0; u < 0x10000; ++u) {
        if (u >= 0xD800 && u <= 0xDFFF)
            continue; // code page 932 has nothing outside the BMP
        const std::uint16_t unit = static_cast<std::uint16_t>(u);
        const unsigned char in[2] = {static_cast<unsigned char>(unit & 0xFF),
                                     static_cast<unsigned char>(unit >> 8)};
        const Result r = encoder.run(in, 2);
        const bool isStrayByteChar = u >= kByteEscapeBase + 0x80u && u <= kByteEscapeBase + 0xFFu;
        if (r.outcome == Outcome::Converted && r.consumed == 2) {
            if (isStrayByteChar)
                fail("iconv encodes U+" + hex(u) + ", which the codec reserves for stray bytes");
            std::uint16_t code = 0;
            if (r.out.size() == 1) {
                code = r.out[0];
                if (isLead[code] || isStray[code])
                    fail("U+" + hex(u) + " encodes to a byte that is not a character");
            } else if (r.out.size() == 2) {
                code = static_cast<std::uint16_t>(r.out[0] << 8 | r.out[1]);
                if (!isLead[r.out[0]] || pairs[((r.out[0] - 0x80u) << 8) | r.out[1]] == 0)
                    fail("U+" + hex(u) + " encodes to a pair that does not decode");
            } else {
                fail("U+" + hex(u) + " encodes to more than two bytes");
            }
            encode[u] = code;
            ++encodable;
        } else if (r.outcome == Outcome::Invalid && r.consumed == 0) {
            if (isStrayByteChar)
                encode[u] = static_cast<std::uint16_t>(u - kByteEscapeBase);
        } else {
            fail("unexpected iconv answer for U+" + hex(u));
        }
    }

    // Every character the page decodes must encode again to some code that decodes
    // to the same character; otherwise decoding and encoding would lose text.
    for (unsigned b = 0; b < 256; ++b) {
        if (isLead[b] || isStray[b])
            continue;
        const std::uint16_t code = encode[single[b]];
        if (code != b)
            fail("byte " + hex(b) + " does not encode back to itself");
    }
    for (unsigned i = 0; i < pairs.size(); ++i) {
        const std::uint16_t unit = pairs[i];
        if (unit == 0)
            continue;
        const std::uint16_t code = encode[unit];
        if (code == kNoCode || code < 0x8000
            || pairs[(((code >> 8) - 0x80u) << 8) | (code & 0xFFu)] != unit)
            fail("pair " + hex(i + 0x8000) + " does not encode back to a code for U+" + hex(unit));
    }

    // Characters with more than one two-byte code (the NEC and IBM duplicates), every code of
    // each, as unit << 16 | code in ascending order. The encoder picks from these when the code
    // it would normally write would pair up with a stray lead byte just before it.
    std::vector<int> codesOfUnit(0x10000, 0);
    for (unsigned i = 0; i < pairs.size(); ++i)
        codesOfUnit[pairs[i]] += pairs[i] != 0;
    std::vector<std::uint32_t> alternates;
    for (unsigned i = 0; i < pairs.size(); ++i) {
        if (pairs[i] != 0 && codesOfUnit[pairs[i]] > 1)
            alternates.push_back(static_cast<std::uint32_t>(pairs[i]) << 16 | (i + 0x8000));
    }
    std::sort(alternates.begin(), alternates.end());
    // The pairs whose character is written with another code: a save gives a character read
    // from one of them that code back, so the codec notes where it read them.
    std::vector<std::uint32_t> kept(0x8000 / 32, 0);
    for (unsigned i = 0; i < pairs.size(); ++i) {
        if (pairs[i] != 0 && encode[pairs[i]] != i + 0x8000)
            kept[i / 32] |= 1u << (i % 32);
    }

    std::FILE* f = std::fopen(argv[1], "w");
    if (!f)
        fail(std::string("cannot write ") + argv[1] + ": " + std::strerror(errno));
    std::fprintf(f,
                 "// Generated by pelmora_cp932_tablegen from glibc iconv \"CP932\". Do not edit.\n"
                 "// %zu two-byte characters, %zu encodable UTF-16 units.\n\n",
                 pairCount, encodable);
    writeArray(f, "alignas(64) static constexpr char16_t kCp932Single", single);
    writeArray(f, "alignas(64) static constexpr char16_t kCp932Pairs", pairs);
    writeArray(f, "alignas(64) static constexpr std::uint16_t kCp932Encode", encode);
    writeArray(f, "static constexpr std::uint32_t kCp932Alternates", alternates);
    writeArray(f, "alignas(64) static constexpr std::uint32_t kCp932Kept", kept);
    if (std::fclose(f) != 0)
        fail(std::string("cannot write ") + argv[1]);
    writeEucJpTables(argv[2]);
    return 0;
}
