#include "exchange/TextEncoding.h"

#include <QIODevice>
#include <QStringDecoder>

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

#include <cstring>

namespace exchange {

namespace {

// Microsoft's cp932, as the RTF codec reads it.
constexpr const char* kCp932Name = "ibm-943_P15A-2003";
constexpr qint64 kChunk = 64 * 1024;

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

ConverterPtr openCp932() {
    UErrorCode status = U_ZERO_ERROR;
    ConverterPtr c(ucnv_open(kCp932Name, &status));
    if (U_FAILURE(status)) return nullptr;
    return c;
}

// Byte-by-byte checks that survive a sequence split between reads.
class Utf8Check {
public:
    bool feed(unsigned char b) {
        if (need_ == 0) {
            if (b < 0x80) return true;
            if (b >= 0xC2 && b <= 0xDF) return start(1, 0x80, 0xBF);
            if (b == 0xE0) return start(2, 0xA0, 0xBF);
            if (b == 0xED) return start(2, 0x80, 0x9F);  // no surrogates
            if (b >= 0xE1 && b <= 0xEF) return start(2, 0x80, 0xBF);
            if (b == 0xF0) return start(3, 0x90, 0xBF);
            if (b >= 0xF1 && b <= 0xF3) return start(3, 0x80, 0xBF);
            if (b == 0xF4) return start(3, 0x80, 0x8F);
            return false;
        }
        if (b < low_ || b > high_) {
            need_ = 0;
            return false;
        }
        low_ = 0x80;
        high_ = 0xBF;
        --need_;
        return true;
    }
    bool complete() const { return need_ == 0; }

private:
    bool start(int need, unsigned char low, unsigned char high) {
        need_ = need;
        low_ = low;
        high_ = high;
        return true;
    }
    int need_ = 0;
    unsigned char low_ = 0x80, high_ = 0xBF;
};

class Cp932Check {
public:
    bool feed(unsigned char b) {
        if (trail_) {
            trail_ = false;
            return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
        }
        if (b < 0x80 || (b >= 0xA1 && b <= 0xDF)) return true;
        if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) {
            trail_ = true;
            return true;
        }
        return false;
    }
    bool complete() const { return !trail_; }

private:
    bool trail_ = false;
};

class Utf16Check {
public:
    explicit Utf16Check(bool littleEndian) : little_(littleEndian) {}
    // Returns false for an unpaired surrogate; `unit` gets the code unit once complete.
    bool feed(unsigned char b, int& unit) {
        unit = -1;
        if (!haveLow_) {
            first_ = b;
            haveLow_ = true;
            return true;
        }
        haveLow_ = false;
        const int u = little_ ? (first_ | b << 8) : (first_ << 8 | b);
        unit = u;
        if (u >= 0xD800 && u <= 0xDBFF) {
            const bool ok = !highPending_;
            highPending_ = true;
            return ok;
        }
        if (u >= 0xDC00 && u <= 0xDFFF) {
            const bool ok = highPending_;
            highPending_ = false;
            return ok;
        }
        const bool ok = !highPending_;
        highPending_ = false;
        return ok;
    }
    bool complete() const { return !haveLow_ && !highPending_; }

private:
    bool little_;
    bool haveLow_ = false;
    bool highPending_ = false;
    unsigned char first_ = 0;
};

int bomOf(const QByteArray& head, Encoding* encoding) {
    if (head.startsWith("\xEF\xBB\xBF")) {
        *encoding = Encoding::Utf8;
        return 3;
    }
    if (head.startsWith("\xFF\xFE")) {
        *encoding = Encoding::Utf16LE;
        return 2;
    }
    if (head.startsWith("\xFE\xFF")) {
        *encoding = Encoding::Utf16BE;
        return 2;
    }
    return 0;
}

bool isUtf16(Encoding e) {
    return e == Encoding::Utf16LE || e == Encoding::Utf16BE;
}

// Control characters other than tab, line ends, form feed and escape.
bool isOddControl(int c) {
    return c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != 0x1B;
}

}  // namespace

QString encodingName(Encoding encoding) {
    switch (encoding) {
        case Encoding::Utf8:
            return QStringLiteral("UTF-8");
        case Encoding::Utf16LE:
            return QStringLiteral("UTF-16LE");
        case Encoding::Utf16BE:
            return QStringLiteral("UTF-16BE");
        case Encoding::Cp932:
            return QStringLiteral("Shift_JIS (cp932)");
    }
    return {};
}

Detection detectEncoding(QIODevice& device) {
    Detection d;
    const QByteArray head = device.peek(4);
    d.bomLength = bomOf(head, &d.encoding);
    if (d.bomLength > 0) device.read(d.bomLength);
    const bool utf16 = isUtf16(d.encoding);
    Utf8Check utf8;
    Cp932Check cp932;
    Utf16Check utf16Check(d.encoding == Encoding::Utf16LE);
    long long total = 0, odd = 0;
    // Per line: does it read as UTF-8, with Japanese (three-byte sequences) in it? A cp932
    // line practically never does.
    int line = 1, multibyte = 0;
    bool longSequence = false;
    bool lineValid = true;
    std::optional<int> firstUtf8Line, firstOtherLine;
    const auto endLine = [&] {
        if (!lineValid) {
            if (!firstOtherLine) firstOtherLine = line;
        } else if (multibyte >= 1 && !firstUtf8Line) {
            firstUtf8Line = line;
        }
        ++line;
        multibyte = 0;
        longSequence = false;
        lineValid = true;
    };
    while (true) {
        const QByteArray chunk = device.read(kChunk);
        if (chunk.isEmpty()) break;
        for (const char ch : chunk) {
            const auto b = static_cast<unsigned char>(ch);
            if (utf16) {
                int unit = -1;
                utf16Check.feed(b, unit);
                if (unit < 0) continue;
                ++total;
                if (unit == 0) d.binary = true;
                if (isOddControl(unit)) ++odd;
                continue;
            }
            ++total;
            if (b == 0) d.binary = true;
            if (isOddControl(b)) ++odd;
            const bool lead = utf8.complete();
            if (!utf8.feed(b)) {
                d.utf8Valid = lineValid = false;
            } else if (lead && b >= 0xE0) {
                longSequence = true;
            } else if (b >= 0x80 && utf8.complete() && longSequence) {
                ++multibyte;
                longSequence = false;
            }
            if (d.cp932Valid && !cp932.feed(b)) d.cp932Valid = false;
            if (b == '\n') endLine();
        }
    }
    if (!utf16) {
        endLine();
        if (firstUtf8Line && firstOtherLine)
            d.mixedLine = std::max(*firstUtf8Line, *firstOtherLine);
    }
    if (!utf8.complete()) d.utf8Valid = false;
    if (!cp932.complete()) d.cp932Valid = false;
    // A few stray control characters happen in real exports; many mean a binary file.
    if (total > 0 && odd * 100 > total) d.binary = true;
    if (!utf16 && d.bomLength == 0 && !d.utf8Valid && d.cp932Valid) d.encoding = Encoding::Cp932;
    if (utf16) d.utf8Valid = d.cp932Valid = false;
    return d;
}

std::optional<int> firstInvalidLine(QIODevice& device, Encoding encoding) {
    Utf8Check utf8;
    Cp932Check cp932;
    Utf16Check utf16(encoding == Encoding::Utf16LE);
    int line = 1;
    while (true) {
        const QByteArray chunk = device.read(kChunk);
        if (chunk.isEmpty()) break;
        for (const char ch : chunk) {
            const auto b = static_cast<unsigned char>(ch);
            bool ok = true;
            switch (encoding) {
                case Encoding::Utf8:
                    ok = utf8.feed(b);
                    if (b == '\n') ++line;
                    break;
                case Encoding::Cp932:
                    ok = cp932.feed(b);
                    // A trail byte is never 0x0A, so every 0x0A ends a line.
                    if (b == '\n') ++line;
                    break;
                default: {
                    int unit = -1;
                    ok = utf16.feed(b, unit);
                    if (unit == '\n') ++line;
                    break;
                }
            }
            if (!ok) return b == '\n' ? line - 1 : line;
        }
    }
    const bool complete = encoding == Encoding::Utf8    ? utf8.complete()
                          : encoding == Encoding::Cp932 ? cp932.complete()
                                                        : utf16.complete();
    if (!complete) return line;
    return std::nullopt;
}

struct TextDecoder::State {
    Encoding encoding;
    QStringDecoder qt;
    ConverterPtr icu;
};

TextDecoder::TextDecoder(Encoding encoding) : state_(std::make_unique<State>()) {
    state_->encoding = encoding;
    switch (encoding) {
        case Encoding::Utf8:
            state_->qt = QStringDecoder(QStringConverter::Utf8);
            break;
        case Encoding::Utf16LE:
            state_->qt = QStringDecoder(QStringConverter::Utf16LE);
            break;
        case Encoding::Utf16BE:
            state_->qt = QStringDecoder(QStringConverter::Utf16BE);
            break;
        case Encoding::Cp932:
            state_->icu = openCp932();
            break;
    }
}

TextDecoder::~TextDecoder() = default;

namespace {

void icuDecode(UConverter* c, QByteArrayView bytes, bool flush, QString& out) {
    const char* source = bytes.data();
    const char* sourceEnd = source + bytes.size();
    do {
        char16_t buffer[8192];
        UChar* target = reinterpret_cast<UChar*>(buffer);
        UErrorCode status = U_ZERO_ERROR;
        ucnv_toUnicode(c, &target, reinterpret_cast<UChar*>(buffer + 8192), &source, sourceEnd,
                       nullptr, flush, &status);
        out.append(QStringView(buffer, target - reinterpret_cast<UChar*>(buffer)));
        if (status != U_BUFFER_OVERFLOW_ERROR) break;
    } while (true);
}

}  // namespace

void TextDecoder::decode(QByteArrayView bytes, QString& out) {
    if (state_->icu)
        icuDecode(state_->icu.get(), bytes, false, out);
    else if (state_->encoding != Encoding::Cp932)
        out.append(state_->qt.decode(bytes));
}

void TextDecoder::finish(QString& out) {
    if (state_->icu) icuDecode(state_->icu.get(), {}, true, out);
    // Qt's decoder turns an incomplete tail into U+FFFD on the next call; nothing waits.
}

struct TextEncoder::Cp932 {
    ConverterPtr converter;
    long long* counter = nullptr;
};

namespace {

// Counts each character cp932 lacks, then lets ICU put its substitute ("?").
void countingSubstitute(const void* context, UConverterFromUnicodeArgs* args,
                        const UChar* codeUnits, int32_t length, UChar32 codePoint,
                        UConverterCallbackReason reason, UErrorCode* err) {
    if (reason == UCNV_UNASSIGNED || reason == UCNV_ILLEGAL || reason == UCNV_IRREGULAR)
        ++*static_cast<long long*>(const_cast<void*>(context));
    UCNV_FROM_U_CALLBACK_SUBSTITUTE(nullptr, args, codeUnits, length, codePoint, reason, err);
}

}  // namespace

TextEncoder::TextEncoder(Encoding encoding) : encoding_(encoding) {
    if (encoding != Encoding::Cp932) return;
    cp932_ = std::make_unique<Cp932>();
    cp932_->converter = openCp932();
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setSubstChars(cp932_->converter.get(), "?", 1, &status);
    ucnv_setFromUCallBack(cp932_->converter.get(), countingSubstitute, &unmappable_, nullptr,
                          nullptr, &status);
}

TextEncoder::~TextEncoder() = default;

QByteArray TextEncoder::byteOrderMark() const {
    switch (encoding_) {
        case Encoding::Utf8:
            return QByteArray("\xEF\xBB\xBF");
        case Encoding::Utf16LE:
            return QByteArray("\xFF\xFE");
        case Encoding::Utf16BE:
            return QByteArray("\xFE\xFF");
        case Encoding::Cp932:
            break;
    }
    return {};
}

QByteArray TextEncoder::encode(QStringView text) {
    switch (encoding_) {
        case Encoding::Utf8:
            return text.toUtf8();
        case Encoding::Utf16LE:
        case Encoding::Utf16BE: {
            QStringEncoder e(encoding_ == Encoding::Utf16LE ? QStringConverter::Utf16LE
                                                            : QStringConverter::Utf16BE);
            return e.encode(text);
        }
        case Encoding::Cp932:
            break;
    }
    QByteArray out;
    out.resize(text.size() * 2 + 16);
    const UChar* source = reinterpret_cast<const UChar*>(text.utf16());
    const UChar* sourceEnd = source + text.size();
    char* target = out.data();
    UErrorCode status = U_ZERO_ERROR;
    ucnv_fromUnicode(cp932_->converter.get(), &target, out.data() + out.size(), &source, sourceEnd,
                     nullptr, true, &status);
    out.resize(target - out.data());
    return out;
}

}  // namespace exchange
