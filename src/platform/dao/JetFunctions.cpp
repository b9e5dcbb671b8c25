#include "platform/dao/JetFunctions.h"

#include <sqlite3.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/vb/Format.h"

namespace dao {

char32_t foldLikeChar(char32_t c) {
    if (c >= U'A' && c <= U'Z') return c + 0x20;
    if (c >= 0xFF21 && c <= 0xFF3A) return c + 0x20;  // full-width Ａ..Ｚ
    return c;
}

char32_t nextLikeCodePoint(std::string_view s, size_t& i) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    const int extra = b0 >= 0xF0 ? 3 : b0 >= 0xE0 ? 2 : b0 >= 0xC0 ? 1 : -1;
    if (extra < 0 || i + static_cast<size_t>(extra) >= s.size()) {
        ++i;
        return 0xFFFD;
    }
    char32_t c = b0 & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        c = (c << 6) | (b & 0x3F);
    }
    i += extra + 1;
    return c;
}

namespace {

// Folds the case of Latin letters in UTF-8 text without decoding it: ASCII capitals and
// the full-width capitals EF BC A1..BA (-> EF BD 81..9A).
void foldUtf8(std::string_view in, std::string& out) {
    out.assign(in.data(), in.size());
    const size_t n = out.size();
    for (size_t i = 0; i < n; ++i) {
        auto b = static_cast<unsigned char>(out[i]);
        if (b >= 'A' && b <= 'Z') {
            out[i] = static_cast<char>(b + 0x20);
        } else if (b == 0xEF && i + 2 < n && static_cast<unsigned char>(out[i + 1]) == 0xBC) {
            const auto b2 = static_cast<unsigned char>(out[i + 2]);
            if (b2 >= 0xA1 && b2 <= 0xBA) {
                out[i + 1] = static_cast<char>(0xBD);
                out[i + 2] = static_cast<char>(b2 - 0xA1 + 0x81);
            }
            i += 2;
        }
    }
}

struct Element {
    enum Kind { Literal, AnyOne, Digit, AnyRun, Class } kind = Literal;
    char32_t ch = 0;
    bool negated = false;
    std::vector<std::pair<char32_t, char32_t>> ranges;
};

struct Pattern {
    std::vector<Element> elements;
    // "*text*", "text*", "*text", "text": matched by searching the folded UTF-8 directly.
    bool simple = false;
    bool leadingRun = false;
    bool trailingRun = false;
    std::string literal;             // folded UTF-8
    bool literalHasLetters = false;  // without Latin letters the value needs no folding
};

std::unique_ptr<Pattern> compilePattern(std::string_view utf8) {
    auto p = std::make_unique<Pattern>();
    std::vector<char32_t> chars;
    for (size_t i = 0; i < utf8.size();) chars.push_back(nextLikeCodePoint(utf8, i));
    for (size_t i = 0; i < chars.size(); ++i) {
        const char32_t c = chars[i];
        Element e;
        e.kind = Element::Literal;
        if (c == U'*') {
            if (!p->elements.empty() && p->elements.back().kind == Element::AnyRun) continue;
            e.kind = Element::AnyRun;
        } else if (c == U'?') {
            e.kind = Element::AnyOne;
        } else if (c == U'#') {
            e.kind = Element::Digit;
        } else if (c == U'[') {
            size_t close = i + 1;
            if (close < chars.size() && chars[close] == U'!') ++close;
            if (close < chars.size()) ++close;  // a ']' right after '[' or '[!' is a member
            while (close < chars.size() && chars[close] != U']') ++close;
            if (close >= chars.size()) {
                e.ch = c;  // no closing bracket: the '[' stands for itself
            } else {
                e.kind = Element::Class;
                size_t k = i + 1;
                if (chars[k] == U'!' && k + 1 < close) {
                    e.negated = true;
                    ++k;
                }
                for (; k < close; ++k) {
                    char32_t lo = foldLikeChar(chars[k]);
                    char32_t hi = lo;
                    if (k + 2 < close && chars[k + 1] == U'-') {
                        hi = foldLikeChar(chars[k + 2]);
                        k += 2;
                    }
                    e.ranges.emplace_back(lo, hi);
                }
                i = close;
            }
        } else {
            e.ch = foldLikeChar(c);
        }
        p->elements.push_back(std::move(e));
    }

    // The search and most criteria use "*word*": recognise it for a plain substring search.
    size_t first = 0, last = p->elements.size();
    p->leadingRun = first < last && p->elements[first].kind == Element::AnyRun;
    if (p->leadingRun) ++first;
    p->trailingRun = last > first && p->elements[last - 1].kind == Element::AnyRun;
    if (p->trailingRun) --last;
    p->simple = true;
    std::u32string literal;
    for (size_t i = first; i < last; ++i) {
        if (p->elements[i].kind != Element::Literal) {
            p->simple = false;
            break;
        }
        literal += p->elements[i].ch;
    }
    if (p->simple) {
        for (char32_t c : literal) {
            if ((c >= U'a' && c <= U'z') || (c >= 0xFF41 && c <= 0xFF5A))
                p->literalHasLetters = true;
            char buf[4];
            int n = 0;
            if (c < 0x80)
                buf[n++] = static_cast<char>(c);
            else if (c < 0x800) {
                buf[n++] = static_cast<char>(0xC0 | (c >> 6));
                buf[n++] = static_cast<char>(0x80 | (c & 0x3F));
            } else if (c < 0x10000) {
                buf[n++] = static_cast<char>(0xE0 | (c >> 12));
                buf[n++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
                buf[n++] = static_cast<char>(0x80 | (c & 0x3F));
            } else {
                buf[n++] = static_cast<char>(0xF0 | (c >> 18));
                buf[n++] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
                buf[n++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
                buf[n++] = static_cast<char>(0x80 | (c & 0x3F));
            }
            p->literal.append(buf, n);
        }
    }
    return p;
}

bool matchElement(const Element& e, char32_t c) {
    switch (e.kind) {
        case Element::Literal:
            return e.ch == c;
        case Element::AnyOne:
            return true;
        case Element::Digit:
            return c >= U'0' && c <= U'9';
        case Element::Class: {
            bool in = false;
            for (const auto& [lo, hi] : e.ranges)
                if (c >= lo && c <= hi) in = true;
            return in != e.negated;
        }
        case Element::AnyRun:
            return false;
    }
    return false;
}

// Glob matching with the usual single back-track point for the latest '*': linear in
// practice, never exponential.
bool matchGeneral(const Pattern& p, const std::vector<char32_t>& value) {
    size_t v = 0, e = 0;
    size_t starElement = SIZE_MAX, starValue = 0;
    const auto& els = p.elements;
    while (v < value.size()) {
        if (e < els.size() && els[e].kind == Element::AnyRun) {
            starElement = e++;
            starValue = v;
        } else if (e < els.size() && matchElement(els[e], value[v])) {
            ++e;
            ++v;
        } else if (starElement != SIZE_MAX) {
            e = starElement + 1;
            v = ++starValue;
        } else {
            return false;
        }
    }
    while (e < els.size() && els[e].kind == Element::AnyRun) ++e;
    return e == els.size();
}

bool matchPattern(const Pattern& p, std::string_view value) {
    if (p.simple) {
        thread_local std::string folded;
        std::string_view f = value;
        if (p.literalHasLetters) {
            foldUtf8(value, folded);
            f = folded;
        }
        const std::string_view lit(p.literal);
        if (p.leadingRun && p.trailingRun) return f.find(lit) != std::string_view::npos;
        if (p.leadingRun) return f.size() >= lit.size() && f.substr(f.size() - lit.size()) == lit;
        if (p.trailingRun) return f.substr(0, lit.size()) == lit;
        return f == lit;
    }
    std::vector<char32_t> chars;
    chars.reserve(value.size());
    for (size_t i = 0; i < value.size();)
        chars.push_back(foldLikeChar(nextLikeCodePoint(value, i)));
    return matchGeneral(p, chars);
}

std::string_view textOf(sqlite3_value* v) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return text ? std::string_view(text, sqlite3_value_bytes(v)) : std::string_view();
}

void likeFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    auto* pattern = static_cast<Pattern*>(sqlite3_get_auxdata(ctx, 1));
    if (!pattern) {
        auto compiled = compilePattern(textOf(argv[1]));
        pattern = compiled.get();
        const bool matched = matchPattern(*pattern, textOf(argv[0]));
        sqlite3_set_auxdata(ctx, 1, compiled.release(),
                            [](void* p) { delete static_cast<Pattern*>(p); });
        sqlite3_result_int(ctx, matched ? 1 : 0);
        return;
    }
    sqlite3_result_int(ctx, matchPattern(*pattern, textOf(argv[0])) ? 1 : 0);
}

bool looksLikeDatePattern(const QString& pattern) {
    for (QChar c : pattern) {
        const char l = c.toLower().toLatin1();
        if (l == 'y' || l == 'd' || l == 'h' || l == 'n' || l == 's') return true;
    }
    return false;
}

void resultText(sqlite3_context* ctx, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    sqlite3_result_text(ctx, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

void formatFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    sqlite3_value* value = argv[0];
    if (sqlite3_value_type(value) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const QString pattern =
        QString::fromUtf8(textOf(argv[1]).data(), static_cast<int>(textOf(argv[1]).size()));
    const int type = sqlite3_value_type(value);
    if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
        const double d = sqlite3_value_double(value);
        if (pattern.isEmpty())
            resultText(ctx, vb::doubleToString(d));
        else
            resultText(ctx, vb::formatNumber(d, pattern));
        return;
    }
    const std::string_view raw = textOf(value);
    const QString text = QString::fromUtf8(raw.data(), static_cast<int>(raw.size()));
    if (looksLikeDatePattern(pattern)) {
        // Stored dates are "yyyy-mm-dd" and times "hh:mm:ss"; both may come together.
        const QString trimmed = text.trimmed();
        const int blank = trimmed.indexOf(QLatin1Char(' '));
        QDate date;
        QTime time(0, 0);
        if (blank < 0 && trimmed.contains(QLatin1Char(':'))) {
            if (auto t = vb::parseTime(trimmed)) time = *t, date = QDate(1899, 12, 30);
        } else if (auto d = vb::parseDate(blank < 0 ? trimmed : trimmed.left(blank))) {
            date = *d;
            if (blank >= 0)
                if (auto t = vb::parseTime(trimmed.mid(blank + 1))) time = *t;
        }
        if (date.isValid()) {
            resultText(ctx, vb::formatDateTime(date, time, pattern));
            return;
        }
    } else {
        bool ok = false;
        const double d = text.trimmed().toDouble(&ok);
        if (ok) {
            resultText(ctx, vb::formatNumber(d, pattern));
            return;
        }
    }
    resultText(ctx, text);
}

void concatFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL && sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    std::string out(textOf(argv[0]));
    out += textOf(argv[1]);
    sqlite3_result_text(ctx, out.data(), static_cast<int>(out.size()), SQLITE_TRANSIENT);
}

void cstrFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_FLOAT) {
        resultText(ctx, vb::doubleToString(sqlite3_value_double(argv[0])));
        return;
    }
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const std::string_view t = textOf(argv[0]);
    sqlite3_result_text(ctx, t.data(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
}

}  // namespace

void registerJetFunctions(sqlite3* db) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(db, "jet_like", 2, flags, nullptr, likeFunction, nullptr, nullptr);
    sqlite3_create_function(db, "jet_format", 2, flags, nullptr, formatFunction, nullptr, nullptr);
    sqlite3_create_function(db, "jet_concat", 2, flags, nullptr, concatFunction, nullptr, nullptr);
    sqlite3_create_function(db, "jet_cstr", 1, flags, nullptr, cstrFunction, nullptr, nullptr);
}

std::vector<std::u32string> likeRequiredRuns(std::string_view pattern) {
    const auto compiled = compilePattern(pattern);
    std::vector<std::u32string> runs;
    std::u32string run;
    for (const Element& e : compiled->elements) {
        if (e.kind == Element::Literal) {
            run += e.ch;
            continue;
        }
        if (!run.empty()) runs.push_back(std::move(run));
        run.clear();
    }
    if (!run.empty()) runs.push_back(std::move(run));
    return runs;
}

bool jetLike(const QString& value, const QString& pattern) {
    const QByteArray p = pattern.toUtf8();
    const QByteArray v = value.toUtf8();
    const auto compiled = compilePattern(std::string_view(p.constData(), p.size()));
    return matchPattern(*compiled, std::string_view(v.constData(), v.size()));
}

}  // namespace dao
