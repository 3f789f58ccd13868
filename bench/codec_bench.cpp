// Times the code page 932 codec against glibc iconv on the same 50 MB of Japanese
// diary text, both directions, and checks that both sides produce the same result.
//
// Usage: codec_bench [megabytes] [repeats]

#include "text/Cp932.h"

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iconv.h>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

[[noreturn]] void die(const char* what)
{
    std::fprintf(stderr, "codec_bench: %s\n", what);
    std::exit(1);
}

// Converts a whole buffer with iconv into out (sized by the caller); returns bytes written.
std::size_t convertAll(iconv_t cd, const char* in, std::size_t inLen, char* out, std::size_t outCap)
{
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* ip = const_cast<char*>(in);
    char* op = out;
    std::size_t il = inLen;
    std::size_t ol = outCap;
    if (iconv(cd, &ip, &il, &op, &ol) == static_cast<std::size_t>(-1) || il != 0)
        die(std::strerror(errno));
    return outCap - ol;
}

std::string toCp932(const std::string& utf8)
{
    iconv_t cd = iconv_open("CP932", "UTF-8");
    std::string out(utf8.size() * 2 + 16, '\0');
    out.resize(convertAll(cd, utf8.data(), utf8.size(), out.data(), out.size()));
    iconv_close(cd);
    return out;
}

// Diary-like text: dated headings, sentences of kanji and kana, half-width katakana
// words, ASCII names and numbers, CR LF line ends.
QByteArray makeText(std::size_t size)
{
    const char* sentences[] = {
        "今日は朝から雨が降っていたので、一日中家で本を読んでいた。",
        "午後になって晴れてきたので、近所の公園まで散歩に出かけた。",
        "駅前の新しい喫茶店で珈琲を飲みながら、日記の続きを書いた。",
        "夕方、友人から電話があり、来週の旅行の予定について話し合った。",
        "最近は仕事が忙しく、なかなか自分の時間が取れないのが悩みだ。",
        "桜の花がもうすぐ満開になりそうで、週末のお花見が楽しみである。",
        "「明日は早起きしよう」と決めたのに、結局また寝坊してしまった。",
        "図書館で借りた歴史小説が面白くて、つい夜更かしをしてしまった。",
        "母の誕生日に花束を贈ったら、とても喜んでくれて嬉しかった。",
        "久しぶりに実家へ帰省し、家族みんなで鍋料理を囲んだ。",
        "新幹線の窓から見えた富士山は、雪をかぶってとても綺麗だった。",
        "ＰＣの調子が悪いので、週末にでもメモリを増設しようと思う。",
        "会議は予定より長引き、帰宅したのは夜十時を過ぎていた。",
        "庭の朝顔が今朝ようやく咲いた。青紫色の花がみずみずしい。",
        "①買い物 ②洗濯 ③掃除 ―― 今日の予定はこれで全部終わり。",
        "気温は３２℃、湿度も高く、蒸し暑い一日だった～。",
    };
    const char* halfWidth[] = {"ｶﾌｪ", "ﾒﾓ", "ｺｰﾋｰ", "ﾊﾟｿｺﾝ", "ｽｹｼﾞｭｰﾙ", "ﾃﾞｰﾀ", "ｱﾙﾊﾞｲﾄ"};
    const char* weekdays[] = {"日", "月", "火", "水", "木", "金", "土"};
    const char* ascii[] = {"OK", "Linux", "Qt 6", "TODO:", "http://example.jp/", "100km", "8:30"};

    std::vector<std::string> sentence, half, weekday;
    for (const char* s : sentences)
        sentence.push_back(toCp932(s));
    for (const char* s : halfWidth)
        half.push_back(toCp932(s));
    for (const char* s : weekdays)
        weekday.push_back(toCp932(s));
    const std::string year = toCp932("年");
    const std::string month = toCp932("月");
    const std::string day = toCp932("日");

    std::mt19937 rng(20240501);
    auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    QByteArray out;
    out.reserve(static_cast<qsizetype>(size + 4096));
    int dayOfYear = 0;
    while (static_cast<std::size_t>(out.size()) < size) {
        ++dayOfYear;
        const std::string heading = std::to_string(2000 + dayOfYear / 365) + year
                                    + std::to_string(1 + dayOfYear / 31 % 12) + month
                                    + std::to_string(1 + dayOfYear % 28) + day + "("
                                    + weekday[dayOfYear % 7] + ")\r\n";
        out.append(heading.data(), static_cast<qsizetype>(heading.size()));
        const int lines = 2 + pick(6);
        for (int l = 0; l < lines; ++l) {
            const int parts = 1 + pick(3);
            for (int p = 0; p < parts; ++p) {
                const std::string& s = sentence[pick(std::size(sentences))];
                out.append(s.data(), static_cast<qsizetype>(s.size()));
                switch (pick(5)) {
                case 0: out.append(half[pick(half.size())].c_str()); break;
                case 1:
                    out.append(' ');
                    out.append(ascii[pick(std::size(ascii))]);
                    out.append(' ');
                    break;
                default: break;
                }
            }
            out.append("\r\n");
        }
        out.append("\r\n");
    }
    out.truncate(static_cast<qsizetype>(size));
    // Do not end inside a double-byte character: cut back to the last line end.
    out.truncate(out.lastIndexOf("\r\n") + 2);
    return out;
}

// Best of `repeats` runs, in milliseconds.
double bestMs(int repeats, const std::function<void()>& run)
{
    double best = 1e300;
    for (int r = 0; r < repeats; ++r) {
        const auto start = std::chrono::steady_clock::now();
        run();
        const auto end = std::chrono::steady_clock::now();
        best = std::min(best, std::chrono::duration<double, std::milli>(end - start).count());
    }
    return best;
}

void report(const char* name, double ms, std::size_t bytes)
{
    std::printf("  %-32s %9.1f ms %9.1f MB/s\n", name, ms, bytes / 1e6 / (ms / 1e3));
}

} // namespace

int main(int argc, char** argv)
{
    const std::size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 50;
    const int repeats = argc > 2 ? std::atoi(argv[2]) : 5;
    if (megabytes == 0 || repeats <= 0)
        die("usage: codec_bench [megabytes] [repeats]");

    const QByteArray sjis = makeText(megabytes * 1000 * 1000);
    const std::size_t n = static_cast<std::size_t>(sjis.size());

    iconv_t toUtf16 = iconv_open("UTF-16LE", "CP932");
    iconv_t toCp = iconv_open("CP932", "UTF-16LE");
    if (toUtf16 == reinterpret_cast<iconv_t>(-1) || toCp == reinterpret_cast<iconv_t>(-1))
        die("iconv has no CP932");

    QString ours;
    const double ourDecode = bestMs(repeats, [&] { ours = text::decodeCp932(sjis); });

    std::unique_ptr<char[]> theirs;
    std::size_t theirsBytes = 0;
    const double iconvDecode = bestMs(repeats, [&] {
        theirs.reset(new char[2 * n]);
        theirsBytes = convertAll(toUtf16, sjis.constData(), n, theirs.get(), 2 * n);
    });

    const std::size_t units = static_cast<std::size_t>(ours.size());
    text::Encoded ourBytes;
    const double ourEncode = bestMs(repeats, [&] { ourBytes = text::encodeCp932(ours); });

    std::unique_ptr<char[]> theirBytes;
    std::size_t theirBytesLen = 0;
    const double iconvEncode = bestMs(repeats, [&] {
        theirBytes.reset(new char[2 * units]);
        theirBytesLen = convertAll(toCp, reinterpret_cast<const char*>(ours.utf16()), units * 2,
                                   theirBytes.get(), 2 * units);
    });

    const bool decodersAgree =
        theirsBytes == units * 2 && std::memcmp(theirs.get(), ours.utf16(), theirsBytes) == 0;
    const bool encodersAgree =
        static_cast<std::size_t>(ourBytes.bytes.size()) == theirBytesLen
        && std::memcmp(ourBytes.bytes.constData(), theirBytes.get(), theirBytesLen) == 0;
    const bool roundTrip = ourBytes.bytes == sjis && ourBytes.unencodable.isEmpty();

    std::printf("code page 932: %.1f MB of text, %zu UTF-16 units, best of %d\n", n / 1e6, units,
                repeats);
    std::printf("decode (CP932 -> UTF-16), MB/s of CP932 input\n");
    report("pelmora decodeCp932", ourDecode, n);
    report("iconv CP932 -> UTF-16LE", iconvDecode, n);
    std::printf("  speed-up %.2fx\n", iconvDecode / ourDecode);
    std::printf("encode (UTF-16 -> CP932), MB/s of CP932 output\n");
    report("pelmora encodeCp932", ourEncode, n);
    report("iconv UTF-16LE -> CP932", iconvEncode, n);
    std::printf("  speed-up %.2fx\n", iconvEncode / ourEncode);
    std::printf("decoders agree: %s, encoders agree: %s, round trip exact: %s\n",
                decodersAgree ? "yes" : "NO", encodersAgree ? "yes" : "NO",
                roundTrip ? "yes" : "NO");

    iconv_close(toUtf16);
    iconv_close(toCp);
    return decodersAgree && encodersAgree && roundTrip ? 0 : 1;
}
