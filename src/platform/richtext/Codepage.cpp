#include "platform/richtext/Codepage.h"

#include <QChar>

#include <unicode/ucnv.h>

#include <array>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace richtext::detail {

namespace {

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

// Microsoft's cp932 (0x8160 is U+FF5E, NEC and IBM extensions present), not a JIS table.
constexpr const char* kCp932Name = "ibm-943_P15A-2003";

UConverter* openConverter(int codepage) {
    std::vector<std::string> names;
    switch (codepage) {
        case 932:
            names = {kCp932Name};
            break;
        case 936:
            names = {"windows-936-2000", "windows-936"};
            break;
        case 10000:
            names = {"macintosh"};
            break;
        case 437:
            names = {"ibm-437"};
            break;
        case 850:
            names = {"ibm-850"};
            break;
        case 1361:
            names = {"ibm-1361"};
            break;
        default:
            names = {"windows-" + std::to_string(codepage), "ibm-" + std::to_string(codepage)};
    }
    names.push_back("windows-1252");
    for (const std::string& name : names) {
        UErrorCode status = U_ZERO_ERROR;
        UConverter* c = ucnv_open(name.c_str(), &status);
        if (U_SUCCESS(status) && c) return c;
        if (c) ucnv_close(c);
    }
    return nullptr;
}

// One converter per code page and thread, opened on first use.
UConverter* converterFor(int codepage) {
    thread_local std::unordered_map<int, ConverterPtr> cache;
    auto it = cache.find(codepage);
    if (it == cache.end())
        it = cache.emplace(codepage, ConverterPtr(openConverter(codepage))).first;
    return it->second.get();
}

// Unicode -> cp932 bytes for every character that survives the round trip.
struct Cp932Table {
    std::vector<std::uint16_t> bytes;  // 0: none; < 0x100 one byte; else lead << 8 | trail

    Cp932Table() : bytes(0x10000, 0) {
        UErrorCode status = U_ZERO_ERROR;
        ConverterPtr conv(ucnv_open(kCp932Name, &status));
        if (U_FAILURE(status) || !conv) return;
        auto decode = [&](const char* src, int len) -> int {
            UChar out[4];
            UErrorCode st = U_ZERO_ERROR;
            ucnv_reset(conv.get());
            const int n = ucnv_toUChars(conv.get(), out, 4, src, len, &st);
            return (U_SUCCESS(st) && n == 1) ? out[0] : -1;
        };
        auto consider = [&](const char* src, int len) {
            const int u = decode(src, len);
            if (u <= 0 || u == 0xFFFD || u == 0x1A || bytes[u] != 0) return;
            // Prefer the bytes the converter itself writes (Windows' choice among duplicates).
            const UChar ch = static_cast<UChar>(u);
            char enc[4];
            UErrorCode st = U_ZERO_ERROR;
            ucnv_reset(conv.get());
            const int m = ucnv_fromUChars(conv.get(), enc, 4, &ch, 1, &st);
            if (U_SUCCESS(st) && (m == 1 || m == 2) && decode(enc, m) == u)
                bytes[u] =
                    m == 1 ? static_cast<unsigned char>(enc[0])
                           : static_cast<std::uint16_t>(static_cast<unsigned char>(enc[0]) << 8 |
                                                        static_cast<unsigned char>(enc[1]));
        };
        ucnv_setToUCallBack(conv.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                            &status);
        ucnv_setFromUCallBack(conv.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                              &status);
        // Half-width katakana only: the other single bytes above 0x7F are vendor-specific.
        for (int b = 0xA1; b <= 0xDF; ++b) {
            const char c = static_cast<char>(b);
            consider(&c, 1);
        }
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            // 0xF0-0xF9 is the user-defined area: private-use characters that other programs
            // map differently, so those are better written as \u.
            if ((lead > 0x9F && lead < 0xE0) || (lead >= 0xF0 && lead <= 0xF9)) continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                if (trail == 0x7F) continue;
                const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                consider(pair, 2);
            }
        }
    }
};

const Cp932Table& cp932Table() {
    static const Cp932Table table;
    return table;
}

// cp932 bytes -> UTF-16, taken from the converter one character at a time, so that text
// whose every character is a plain mapping decodes without a converter call (an export
// reads hundreds of thousands of records of Japanese). 0: not covered, the converter
// decides (undecodable bytes, SUB, the replacement character itself).
struct Cp932Decoder {
    std::array<char16_t, 0x100> single{};
    std::vector<char16_t> pairs;  // (lead - 0x80) << 8 | trail

    Cp932Decoder() : pairs(std::size_t{0x80} * 0x100, 0) {
        UErrorCode status = U_ZERO_ERROR;
        ConverterPtr conv(ucnv_open(kCp932Name, &status));
        if (U_FAILURE(status) || !conv) return;
        ucnv_setToUCallBack(conv.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                            &status);
        const auto decode = [&conv](const char* src, int len) -> char16_t {
            UChar out[4];
            UErrorCode st = U_ZERO_ERROR;
            ucnv_reset(conv.get());
            const int n = ucnv_toUChars(conv.get(), out, 4, src, len, &st);
            if (U_FAILURE(st) || n != 1 || out[0] == 0 || out[0] == 0x1A || out[0] == 0xFFFD ||
                QChar::isSurrogate(out[0]))
                return 0;
            return out[0];
        };
        for (int b = 0; b < 0x100; ++b) {
            const char c = static_cast<char>(b);
            single[static_cast<std::size_t>(b)] = decode(&c, 1);
        }
        for (int lead = 0x80; lead < 0x100; ++lead) {
            if (single[static_cast<std::size_t>(lead)]) continue;  // a character, not a lead
            for (int trail = 0; trail < 0x100; ++trail) {
                const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                pairs[static_cast<std::size_t>((lead - 0x80) << 8 | trail)] = decode(pair, 2);
            }
        }
    }

    // Appends the text of the bytes; false (and nothing appended) when a byte is not covered.
    bool decode(const unsigned char* data, std::size_t size, QString& out) const {
        const qsizetype start = out.size();
        out.resize(start + static_cast<qsizetype>(size));
        char16_t* target = reinterpret_cast<char16_t*>(out.data()) + start;
        char16_t* const begin = target;
        for (std::size_t i = 0; i < size; ++i) {
            char16_t c = single[data[i]];
            if (!c && data[i] >= 0x80 && i + 1 < size) {
                c = pairs[static_cast<std::size_t>((data[i] - 0x80) << 8 | data[i + 1])];
                ++i;
            }
            if (!c) {
                out.resize(start);
                return false;
            }
            *target++ = c;
        }
        out.resize(start + (target - begin));
        return true;
    }
};

const Cp932Decoder& cp932Decoder() {
    static const Cp932Decoder decoder;
    return decoder;
}

}  // namespace

int codepageForCharset(int charset, int documentCodepage) {
    switch (charset) {
        case 0:
        case 2:  // Symbol: the bytes are glyph numbers; Latin-1 keeps them visible
            return 1252;
        case 77:
            return 10000;
        case 128:
            return 932;
        case 129:
            return 949;
        case 130:
            return 1361;
        case 134:
            return 936;
        case 136:
            return 950;
        case 161:
            return 1253;
        case 162:
            return 1254;
        case 163:
            return 1258;
        case 177:
            return 1255;
        case 178:
            return 1256;
        case 186:
            return 1257;
        case 204:
            return 1251;
        case 222:
            return 874;
        case 238:
            return 1250;
        case 255:
            return 437;
        default:
            return documentCodepage;
    }
}

void decodeBytes(int codepage, const char* data, std::size_t size, QString& out) {
    std::size_t i = 0;
    // ASCII needs no converter; most RTF text is ASCII or \u escapes.
    while (i < size && static_cast<unsigned char>(data[i]) < 0x80) ++i;
    out.append(QLatin1StringView(data, static_cast<qsizetype>(i)));
    if (i == size) return;
    if (codepage == 932 &&
        cp932Decoder().decode(reinterpret_cast<const unsigned char*>(data) + i, size - i, out))
        return;
    decodeWithConverter(codepage, data + i, size - i, out);
}

void decodeWithConverter(int codepage, const char* data, std::size_t size, QString& out) {
    UConverter* conv = converterFor(codepage);
    if (!conv) {
        for (std::size_t i = 0; i < size; ++i)
            out.append(QChar(static_cast<unsigned char>(data[i])));
        return;
    }
    ucnv_reset(conv);
    const qsizetype base = out.size();
    out.resize(base + static_cast<qsizetype>(size) * 2 + 4);
    UChar* target = reinterpret_cast<UChar*>(out.data()) + base;
    UChar* targetStart = target;
    const char* source = data;
    UErrorCode status = U_ZERO_ERROR;
    ucnv_toUnicode(conv, &target, targetStart + size * 2 + 4, &source, data + size, nullptr, true,
                   &status);
    out.resize(base + (target - targetStart));
    // Unassigned single bytes come back as SUB (U+001A); show them as replacement characters.
    for (qsizetype k = base; k < out.size(); ++k)
        if (out[k] == QChar(0x1A)) out[k] = QChar::ReplacementCharacter;
}

int cp932Encode(char16_t c, unsigned char out[2]) {
    if (c < 0x80) {
        out[0] = static_cast<unsigned char>(c);
        return 1;
    }
    const std::uint16_t b = cp932Table().bytes[c];
    if (b == 0) return 0;
    if (b < 0x100) {
        out[0] = static_cast<unsigned char>(b);
        return 1;
    }
    out[0] = static_cast<unsigned char>(b >> 8);
    out[1] = static_cast<unsigned char>(b & 0xFF);
    return 2;
}

bool cp932Holds(QStringView text) {
    unsigned char buf[2];
    for (QChar c : text)
        if (cp932Encode(c.unicode(), buf) == 0) return false;
    return true;
}

}  // namespace richtext::detail
