#include "platform/richtext/RtfReader.h"

#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/richtext/Codepage.h"

namespace richtext {

namespace {

// Deeper groups are still read, but share the state of the deepest one kept.
constexpr int kMaxDepth = 4096;
// Limits for what tables may hold, so hostile input cannot grow them without end.
constexpr std::size_t kMaxFonts = 4096;
constexpr std::size_t kMaxColors = 4096;
constexpr qsizetype kMaxFontName = 512;
// RTF parameters are 16- or 32-bit; larger values are clamped, not wrapped.
constexpr std::int64_t kParamLimit = 2147483647;

enum class Dest : std::uint8_t { Text, Skip, FontTable, ColorTable };
// Which kind of text the following characters are (\loch \hich \dbch \rtlch \ltrch):
// LibreOffice puts Japanese in \dbch runs whose bold, size and font are the associated
// properties \ab, \afs, \af.
enum class RunType : std::uint8_t { None, Loch, Hich, Dbch, Rtl };

struct CharState {
    std::int32_t font = -1;  // -1: the document's default font (\deff)
    std::int32_t size = 24;  // half-points
    std::int32_t color = 0;  // colour table index; 0 is automatic
    std::int32_t aFont = -1;
    std::int32_t aSize = -1;
    std::int8_t aBold = -1;
    std::int8_t aItalic = -1;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    RunType runType = RunType::None;
};

struct Group {
    CharState chars;
    Dest dest = Dest::Text;
    std::int32_t uc = 1;  // fallback characters after \uN
};

// The formatting in effect for text, with the associated properties resolved.
struct Key {
    std::int32_t font = 0;
    std::int32_t size = 24;
    std::int32_t color = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    friend bool operator==(const Key&, const Key&) = default;
};

struct FontEntry {
    QString name;
    int charset = -1;
    int codepage = 0;
};

enum class Kw : std::uint8_t {
    Unknown,
    Destination,
    FontTbl,
    ColorTbl,
    Ansi,
    AnsiCpg,
    Mac,
    Pc,
    Pca,
    Deff,
    Uc,
    U,
    Par,
    Line,
    Tab,
    Cell,
    Plain,
    B,
    I,
    Ul,
    UlNone,
    Strike,
    F,
    Fs,
    Cf,
    Ab,
    Ai,
    Af,
    Afs,
    Loch,
    Hich,
    Dbch,
    Rtlch,
    Ltrch,
    FCharset,
    Cpg,
    Red,
    Green,
    Blue,
    Bin,
    Char
};

struct KwInfo {
    Kw kw;
    char16_t ch = 0;  // for Kw::Char
};

// Control words by name. Every control word is looked up, so the table is open addressing
// over a cheap hash rather than a node-based map. Names are the string literals below.
class KeywordTable {
public:
    void emplace(std::string_view name, KwInfo info) {
        std::size_t i = hash(name) & kMask;
        while (!slots_[i].name.empty()) {
            if (slots_[i].name == name) return;  // the first entry of a name holds
            i = (i + 1) & kMask;
        }
        slots_[i] = {name, info};
    }
    KwInfo find(std::string_view name) const {
        for (std::size_t i = hash(name) & kMask; !slots_[i].name.empty(); i = (i + 1) & kMask)
            if (slots_[i].name == name) return slots_[i].info;
        return KwInfo{Kw::Unknown};
    }

private:
    static std::size_t hash(std::string_view name) {
        std::uint32_t h = 2166136261u;  // FNV-1a
        for (const char c : name) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
        return h;
    }
    static constexpr std::size_t kSlots = 1024;  // a power of two, several times the words
    static constexpr std::size_t kMask = kSlots - 1;
    struct Slot {
        std::string_view name;
        KwInfo info{Kw::Unknown};
    };
    std::array<Slot, kSlots> slots_{};
};

const KeywordTable& keywords() {
    static const KeywordTable table = [] {
        KeywordTable t;
        // Groups whose content is never document text.
        for (const char* d : {"stylesheet",
                              "info",
                              "pict",
                              "object",
                              "header",
                              "headerl",
                              "headerr",
                              "headerf",
                              "footer",
                              "footerl",
                              "footerr",
                              "footerf",
                              "footnote",
                              "annotation",
                              "atnid",
                              "atnauthor",
                              "atndate",
                              "atnref",
                              "listtable",
                              "listoverridetable",
                              "revtbl",
                              "rsidtbl",
                              "generator",
                              "xmlnstbl",
                              "fldinst",
                              "pntext",
                              "pntxta",
                              "pntxtb",
                              "listtext",
                              "themedata",
                              "colorschememapping",
                              "datastore",
                              "latentstyles",
                              "mmathPr",
                              "bkmkstart",
                              "bkmkend",
                              "pgdsctbl",
                              "filetbl",
                              "template",
                              "nonshppict",
                              "shp",
                              "shpinst",
                              "do",
                              "comment",
                              "userprops",
                              "docvar",
                              "xe",
                              "tc",
                              "txe",
                              "ftnsep",
                              "ftnsepc",
                              "ftncn",
                              "aftnsep",
                              "aftnsepc",
                              "aftncn",
                              "objdata",
                              "objclass",
                              "objname",
                              "title",
                              "subject",
                              "author",
                              "operator",
                              "keywords",
                              "doccomm",
                              "company",
                              "category",
                              "manager",
                              "hlinkbase",
                              "falt",
                              "panose",
                              "upr",
                              "fname",
                              "protusertbl",
                              "wgrffmtfilter",
                              "passwordhash",
                              "blipuid"})
            t.emplace(d, KwInfo{Kw::Destination});
        const std::pair<const char*, Kw> words[] = {{"fonttbl", Kw::FontTbl},
                                                    {"colortbl", Kw::ColorTbl},
                                                    {"ansi", Kw::Ansi},
                                                    {"ansicpg", Kw::AnsiCpg},
                                                    {"mac", Kw::Mac},
                                                    {"pc", Kw::Pc},
                                                    {"pca", Kw::Pca},
                                                    {"deff", Kw::Deff},
                                                    {"uc", Kw::Uc},
                                                    {"u", Kw::U},
                                                    {"par", Kw::Par},
                                                    {"sect", Kw::Par},
                                                    {"row", Kw::Par},
                                                    {"line", Kw::Line},
                                                    {"tab", Kw::Tab},
                                                    {"cell", Kw::Cell},
                                                    {"nestcell", Kw::Cell},
                                                    {"plain", Kw::Plain},
                                                    {"b", Kw::B},
                                                    {"i", Kw::I},
                                                    {"ulnone", Kw::UlNone},
                                                    {"strike", Kw::Strike},
                                                    {"striked", Kw::Strike},
                                                    {"f", Kw::F},
                                                    {"fs", Kw::Fs},
                                                    {"cf", Kw::Cf},
                                                    {"ab", Kw::Ab},
                                                    {"ai", Kw::Ai},
                                                    {"af", Kw::Af},
                                                    {"afs", Kw::Afs},
                                                    {"loch", Kw::Loch},
                                                    {"hich", Kw::Hich},
                                                    {"dbch", Kw::Dbch},
                                                    {"rtlch", Kw::Rtlch},
                                                    {"ltrch", Kw::Ltrch},
                                                    {"fcharset", Kw::FCharset},
                                                    {"cpg", Kw::Cpg},
                                                    {"red", Kw::Red},
                                                    {"green", Kw::Green},
                                                    {"blue", Kw::Blue},
                                                    {"bin", Kw::Bin}};
        for (const auto& [name, kw] : words) t.emplace(name, KwInfo{kw});
        for (const char* u : {"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave",
                              "ulldash", "ulth", "ulthd", "ulthdash", "ulthdashd", "ulthdashdd",
                              "ulthldash", "ululdbwave", "ulw", "ulwave"})
            t.emplace(u, KwInfo{Kw::Ul});
        const std::pair<const char*, char16_t> chars[] = {
            {"emdash", 0x2014},  {"endash", 0x2013},    {"bullet", 0x2022},    {"lquote", 0x2018},
            {"rquote", 0x2019},  {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"emspace", 0x2003},
            {"enspace", 0x2002}, {"qmspace", 0x2005},   {"zwj", 0x200D},       {"zwnj", 0x200C},
            {"zwbo", 0x200B}};
        for (const auto& [name, ch] : chars) t.emplace(name, KwInfo{Kw::Char, ch});
        return t;
    }();
    return table;
}

bool isAsciiLetter(unsigned c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(unsigned c) {
    return c >= '0' && c <= '9';
}
int hexValue(unsigned c) {
    if (c >= '0' && c <= '9') return static_cast<int>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<int>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F') return static_cast<int>(c - 'A' + 10);
    return -1;
}

// Unit is unsigned char for bytes, char16_t for RTF held in a string (where units above
// ASCII are text as they stand).
// The buffers a reader grows, kept per thread for the next document: an export reads
// hundreds of thousands of small ones. What hostile input grew past kKeptBuffer is let go.
struct Buffers {
    std::vector<Group> stack;
    std::unordered_map<std::int32_t, FontEntry> fonts;
    std::vector<std::optional<std::uint32_t>> colors;
    std::string bytes;
    QString scratch;
    QString runText;

    void swap(Buffers& other) noexcept {
        stack.swap(other.stack);
        fonts.swap(other.fonts);
        colors.swap(other.colors);
        bytes.swap(other.bytes);
        scratch.swap(other.scratch);
        runText.swap(other.runText);
    }
    void empty() {
        constexpr std::size_t kKeptBuffer = 64 * std::size_t{1024};
        stack.clear();
        fonts.clear();
        colors.clear();
        if (bytes.capacity() > kKeptBuffer) bytes = std::string();
        bytes.clear();
        for (QString* s : {&scratch, &runText}) {
            if (static_cast<std::size_t>(s->capacity()) > kKeptBuffer) *s = QString();
            s->resize(0);
        }
    }
};

Buffers& spareBuffers() {
    thread_local Buffers spare;
    return spare;
}

template <typename Unit>
class Reader {
public:
    Reader(const Unit* data, std::size_t size, RtfSink& sink) : p_(data), n_(size), sink_(sink) {
        buffers_.swap(spareBuffers());  // a reader inside a sink's call starts afresh
    }
    ~Reader() {
        buffers_.empty();
        buffers_.swap(spareBuffers());
    }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    void run() {
        stack_.reserve(64);
        // Everything before the first '{' is not part of the document.
        while (pos_ < n_ && p_[pos_] != '{') ++pos_;
        while (pos_ < n_) {
            const unsigned c = p_[pos_];
            if (c == '{') {
                ++pos_;
                openGroup();
            } else if (c == '}') {
                ++pos_;
                if (closeGroup()) break;
            } else if (c == '\\') {
                ++pos_;
                controlWord();
            } else if (c == '\r' || c == '\n') {
                ++pos_;
            } else {
                ++pos_;
                if (ucSkip_ > 0) {
                    --ucSkip_;
                    continue;
                }
                textUnit(c);
            }
        }
        flushBytes();
        if (cur_.dest == Dest::FontTable || inFontEntry_) finishFontEntry();
        endDocument();
    }

private:
    // --- groups -------------------------------------------------------------------------

    void openGroup() {
        flushBytes();
        ucSkip_ = 0;
        if (!started_) {
            started_ = true;  // the root group
            return;
        }
        if (static_cast<int>(stack_.size()) >= kMaxDepth) {
            ++overflow_;
            return;
        }
        stack_.push_back(cur_);
    }

    // True when the root group closed: the document ends there.
    bool closeGroup() {
        flushBytes();
        ucSkip_ = 0;
        if (overflow_ > 0) {
            --overflow_;
            return false;
        }
        if (stack_.empty()) return true;
        const Dest leaving = cur_.dest;
        cur_ = stack_.back();
        stack_.pop_back();
        // A font table entry written as its own group ends with its group.
        if (leaving == Dest::FontTable && inFontEntry_ &&
            (cur_.dest != Dest::FontTable || stack_.size() < fontEntryDepth_))
            finishFontEntry();
        cpValid_ = false;
        return false;
    }

    // --- tokens -------------------------------------------------------------------------

    void controlWord() {
        if (pos_ >= n_) return;
        const unsigned c = p_[pos_];
        if (!isAsciiLetter(c)) {
            ++pos_;
            controlSymbol(c);
            return;
        }
        char name[33];
        std::size_t len = 0;
        while (pos_ < n_ && isAsciiLetter(p_[pos_])) {
            if (len < 32) name[len++] = static_cast<char>(p_[pos_]);
            ++pos_;
        }
        bool hasParam = false;
        std::int64_t param = 0;
        bool negative = false;
        if (pos_ + 1 < n_ && p_[pos_] == '-' && isDigit(p_[pos_ + 1])) {
            negative = true;
            ++pos_;
        }
        while (pos_ < n_ && isDigit(p_[pos_])) {
            hasParam = true;
            if (param <= kParamLimit) param = param * 10 + (p_[pos_] - '0');
            ++pos_;
        }
        param = std::min(param, kParamLimit);
        if (negative) param = -param;
        if (pos_ < n_ && p_[pos_] == ' ') ++pos_;
        const std::string_view word(name, len);
        const KwInfo info = keywords().find(word);
        if (info.kw == Kw::Bin) {
            // Binary data is never text, whatever the destination.
            const std::size_t skip = param > 0 ? static_cast<std::size_t>(param) : 0;
            pos_ += std::min(skip, n_ - pos_);
            if (ucSkip_ > 0) --ucSkip_;
            return;
        }
        if (ucSkip_ > 0) {
            --ucSkip_;
            return;
        }
        keyword(info, hasParam, static_cast<std::int32_t>(param));
    }

    void controlSymbol(unsigned c) {
        if (c == '\'') {
            int value = -1;
            if (pos_ < n_) {
                const int hi = hexValue(p_[pos_]);
                if (hi >= 0) {
                    ++pos_;
                    const int lo = pos_ < n_ ? hexValue(p_[pos_]) : -1;
                    if (lo >= 0) {
                        ++pos_;
                        value = hi * 16 + lo;
                    }
                }
            }
            if (ucSkip_ > 0) {
                --ucSkip_;
                return;
            }
            // A broken escape is dropped; what follows it is read as usual.
            if (value >= 0) textByte(static_cast<unsigned char>(value));
            return;
        }
        if (ucSkip_ > 0) {
            --ucSkip_;
            return;
        }
        switch (c) {
            case '\\':
            case '{':
            case '}':
                textByte(static_cast<unsigned char>(c));
                break;
            case '*':
                flushBytes();
                cur_.dest = Dest::Skip;
                cpValid_ = false;
                break;
            case '~':
                unicodeChar(0x00A0);
                break;
            case '_':
                unicodeChar(0x2011);
                break;
            case '\r':
            case '\n':
                flushBytes();
                if (cur_.dest == Dest::Text) endParagraph();
                break;
            default:
                break;  // \- optional hyphen, \: \| and unknown symbols
        }
    }

    void textUnit(unsigned c) {
        if (c < 0x20 && c != '\t') return;  // NUL and other control characters
        if (c == '\t') {
            if (cur_.dest == Dest::Text) unicodeChar('\t');
            return;
        }
        if (c >= 0x80 && sizeof(Unit) > 1) {
            unicodeUnit(static_cast<char16_t>(c));
            return;
        }
        textByte(static_cast<unsigned char>(c));
    }

    void keyword(const KwInfo& info, bool hasParam, std::int32_t param) {
        flushBytes();
        cpValid_ = false;
        CharState& ch = cur_.chars;
        const bool on = !hasParam || param != 0;
        switch (info.kw) {
            case Kw::Unknown:
                break;
            case Kw::Destination:
                cur_.dest = Dest::Skip;
                break;
            case Kw::FontTbl:
                cur_.dest = Dest::FontTable;
                break;
            case Kw::ColorTbl:
                cur_.dest = Dest::ColorTable;
                colors_.clear();
                colorAny_ = false;
                red_ = green_ = blue_ = 0;
                break;
            case Kw::Ansi:
                docCodepage_ = 1252;
                break;
            case Kw::AnsiCpg:
                if (param > 0 && param < 65536) docCodepage_ = param;
                break;
            case Kw::Mac:
                docCodepage_ = 10000;
                break;
            case Kw::Pc:
                docCodepage_ = 437;
                break;
            case Kw::Pca:
                docCodepage_ = 850;
                break;
            case Kw::Deff:
                if (hasParam) deff_ = param;
                break;
            case Kw::Uc:
                cur_.uc = std::max(param, 0);
                break;
            case Kw::U:
                if (hasParam) {
                    const std::int32_t v = param < 0 ? param + 65536 : param;
                    if (v >= 0 && v <= 0xFFFF) unicodeUnit(static_cast<char16_t>(v));
                }
                ucSkip_ = cur_.uc;
                break;
            case Kw::Par:
                if (cur_.dest == Dest::Text) endParagraph();
                break;
            case Kw::Line:
                unicodeChar(QChar::LineSeparator);
                break;
            case Kw::Tab:
            case Kw::Cell:
                unicodeChar('\t');
                break;
            case Kw::Char:
                unicodeChar(info.ch);
                break;
            case Kw::Plain:
                ch = CharState();
                break;
            case Kw::B:
                ch.bold = on;
                break;
            case Kw::I:
                ch.italic = on;
                break;
            case Kw::Ul:
                ch.underline = on;
                break;
            case Kw::UlNone:
                ch.underline = false;
                break;
            case Kw::Strike:
                ch.strike = on;
                break;
            case Kw::F:
                if (!hasParam) break;
                if (cur_.dest == Dest::FontTable)
                    beginFontEntry(param);
                else
                    ch.font = param;
                break;
            case Kw::Fs:
                if (hasParam && param > 0) ch.size = std::min(param, 32767);
                break;
            case Kw::Cf:
                ch.color = std::max(param, 0);
                break;
            // \a* under \rtlch or \hich describe right-to-left text; keep them off ours.
            case Kw::Ab:
                if (!complexScript()) ch.aBold = on ? 1 : 0;
                break;
            case Kw::Ai:
                if (!complexScript()) ch.aItalic = on ? 1 : 0;
                break;
            case Kw::Af:
                if (!complexScript() && hasParam) ch.aFont = param;
                break;
            case Kw::Afs:
                if (!complexScript() && hasParam && param > 0) ch.aSize = std::min(param, 32767);
                break;
            case Kw::Loch:
                ch.runType = RunType::Loch;
                break;
            case Kw::Hich:
                ch.runType = RunType::Hich;
                break;
            case Kw::Dbch:
                ch.runType = RunType::Dbch;
                break;
            case Kw::Rtlch:
                ch.runType = RunType::Rtl;
                break;
            case Kw::Ltrch:
                ch.runType = RunType::None;
                break;
            case Kw::FCharset:
                if (cur_.dest == Dest::FontTable && inFontEntry_) fontEntry_.charset = param;
                break;
            case Kw::Cpg:
                if (cur_.dest == Dest::FontTable && inFontEntry_ && param > 0 && param < 65536)
                    fontEntry_.codepage = param;
                break;
            case Kw::Red:
            case Kw::Green:
            case Kw::Blue:
                if (cur_.dest == Dest::ColorTable) {
                    const int v = std::clamp(param, 0, 255);
                    (info.kw == Kw::Red ? red_ : info.kw == Kw::Green ? green_ : blue_) = v;
                    colorAny_ = true;
                }
                break;
            case Kw::Bin:
                break;
        }
    }

    bool complexScript() const {
        return cur_.chars.runType == RunType::Rtl || cur_.chars.runType == RunType::Hich;
    }

    // --- text -----------------------------------------------------------------------------

    void textByte(unsigned char b) {
        switch (cur_.dest) {
            case Dest::Skip:
                return;
            case Dest::ColorTable:
                if (b == ';') endColor();
                return;
            case Dest::FontTable:
                if (b == ';') {
                    flushBytes();
                    finishFontEntry();
                    return;
                }
                if (!inFontEntry_) return;
                break;
            case Dest::Text:
                break;
        }
        const int cp = currentCodepage();
        if (!bytes_.empty() && cp != bytesCodepage_) flushBytes();
        bytesCodepage_ = cp;
        bytes_.push_back(static_cast<char>(b));
    }

    void flushBytes() {
        if (bytes_.empty()) return;
        scratch_.resize(0);
        detail::decodeBytes(bytesCodepage_, bytes_.data(), bytes_.size(), scratch_);
        bytes_.clear();
        if (cur_.dest == Dest::FontTable) {
            if (fontEntry_.name.size() < kMaxFontName) fontEntry_.name += scratch_;
        } else if (cur_.dest == Dest::Text) {
            putText(scratch_);
        }
    }

    // One UTF-16 unit from \uN or from a string's own characters; pairs surrogates.
    void unicodeUnit(char16_t u) {
        flushBytes();
        if (cur_.dest == Dest::FontTable) {
            if (inFontEntry_ && fontEntry_.name.size() < kMaxFontName) fontEntry_.name += QChar(u);
            return;
        }
        if (cur_.dest != Dest::Text) return;
        if (QChar::isHighSurrogate(u)) {
            resolveHighSurrogate();
            pendingHigh_ = u;
        } else if (QChar::isLowSurrogate(u)) {
            if (pendingHigh_) {
                const QChar pair[2] = {QChar(pendingHigh_), QChar(u)};
                pendingHigh_ = 0;
                output(QStringView(pair, 2));
            } else {
                unicodeChar(QChar::ReplacementCharacter);
            }
        } else {
            unicodeChar(u);
        }
    }

    void unicodeChar(char16_t u) {
        flushBytes();
        if (cur_.dest != Dest::Text) return;
        const QChar c(u);
        putText(QStringView(&c, 1));
    }

    void putText(QStringView text) {
        resolveHighSurrogate();
        output(text);
    }

    void resolveHighSurrogate() {
        if (!pendingHigh_) return;
        pendingHigh_ = 0;
        const QChar r = QChar::ReplacementCharacter;
        output(QStringView(&r, 1));
    }

    void output(QStringView text) {
        if (text.isEmpty()) return;
        const Key k = currentKey();
        if (!(k == runKey_) && !runText_.isEmpty()) commitRun();
        runKey_ = k;
        runText_ += text;
    }

    Key currentKey() const {
        const CharState& ch = cur_.chars;
        const bool db = ch.runType == RunType::Dbch;
        Key k;
        k.bold = db && ch.aBold >= 0 ? ch.aBold != 0 : ch.bold;
        k.italic = db && ch.aItalic >= 0 ? ch.aItalic != 0 : ch.italic;
        k.font = db && ch.aFont >= 0 ? ch.aFont : ch.font;
        if (k.font < 0) k.font = deff_;
        k.size = db && ch.aSize > 0 ? ch.aSize : ch.size;
        k.color = ch.color;
        k.underline = ch.underline;
        k.strike = ch.strike;
        return k;
    }

    int currentCodepage() {
        if (cpValid_) return cp_;
        if (cur_.dest == Dest::FontTable) {
            cp_ = fontEntry_.codepage > 0
                      ? fontEntry_.codepage
                      : detail::codepageForCharset(fontEntry_.charset, docCodepage_);
        } else {
            cp_ = docCodepage_;
            const auto it = fonts_.find(currentKey().font);
            if (it != fonts_.end()) {
                cp_ = it->second.codepage > 0
                          ? it->second.codepage
                          : detail::codepageForCharset(it->second.charset, docCodepage_);
            }
        }
        cpValid_ = true;
        return cp_;
    }

    const Format& formatFor(const Key& k) {
        if (haveLastFormat_ && k == lastKey_) return lastFormat_;
        Format f;
        f.bold = k.bold;
        f.italic = k.italic;
        f.underline = k.underline;
        f.strike = k.strike;
        f.size = k.size / 2.0;
        auto it = fonts_.find(k.font);
        if (it == fonts_.end()) it = fonts_.find(deff_);
        if (it != fonts_.end()) f.font = it->second.name;
        if (k.color > 0 && static_cast<std::size_t>(k.color) < colors_.size())
            f.color = colors_[static_cast<std::size_t>(k.color)];
        lastKey_ = k;
        lastFormat_ = std::move(f);
        haveLastFormat_ = true;
        return lastFormat_;
    }

    void commitRun() {
        if (runText_.isEmpty()) return;
        sink_.text(runText_, formatFor(runKey_));
        runText_.resize(0);
    }

    void endParagraph() {
        flushBytes();
        resolveHighSurrogate();
        commitRun();
        sink_.endParagraph(formatFor(currentKey()));
    }

    void endDocument() {
        resolveHighSurrogate();
        commitRun();
    }

    // --- tables ---------------------------------------------------------------------------

    void beginFontEntry(std::int32_t number) {
        if (inFontEntry_) finishFontEntry();
        inFontEntry_ = true;
        fontNumber_ = number;
        fontEntry_ = FontEntry();
        fontEntryDepth_ = stack_.size();
    }

    void finishFontEntry() {
        if (!inFontEntry_) return;
        flushBytes();
        inFontEntry_ = false;
        QString& name = fontEntry_.name;
        name.removeIf([](QChar c) {
            return c.unicode() < 0x20 || c.unicode() == 0x7F || c == QLatin1Char(';') ||
                   c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
        });
        if (name.size() > kMaxFontName) {
            name.truncate(kMaxFontName);
            if (name.back().isHighSurrogate()) name.chop(1);
        }
        name = name.trimmed();
        haveLastFormat_ = false;
        if (fonts_.size() < kMaxFonts || fonts_.count(fontNumber_))
            fonts_[fontNumber_] = std::move(fontEntry_);
        fontEntry_ = FontEntry();
    }

    void endColor() {
        if (colors_.size() >= kMaxColors) return;
        if (colorAny_)
            colors_.push_back(static_cast<std::uint32_t>(red_ << 16 | green_ << 8 | blue_));
        else
            colors_.push_back(std::nullopt);
        colorAny_ = false;
        red_ = green_ = blue_ = 0;
        haveLastFormat_ = false;
    }

    const Unit* p_;
    std::size_t n_;
    std::size_t pos_ = 0;
    bool started_ = false;
    Buffers buffers_;
    std::vector<Group>& stack_ = buffers_.stack;
    Group cur_;
    int overflow_ = 0;
    std::int32_t ucSkip_ = 0;
    int docCodepage_ = 1252;
    std::int32_t deff_ = 0;

    std::unordered_map<std::int32_t, FontEntry>& fonts_ = buffers_.fonts;
    bool inFontEntry_ = false;
    std::int32_t fontNumber_ = 0;
    FontEntry fontEntry_;
    std::size_t fontEntryDepth_ = 0;

    std::vector<std::optional<std::uint32_t>>& colors_ = buffers_.colors;
    bool colorAny_ = false;
    int red_ = 0, green_ = 0, blue_ = 0;

    std::string& bytes_ = buffers_.bytes;
    int bytesCodepage_ = 1252;
    QString& scratch_ = buffers_.scratch;
    bool cpValid_ = false;
    int cp_ = 1252;
    char16_t pendingHigh_ = 0;

    RtfSink& sink_;
    QString& runText_ = buffers_.runText;
    Key runKey_;
    bool haveLastFormat_ = false;
    Key lastKey_;
    Format lastFormat_;
};

template <typename Unit>
bool startsWithRtf(const Unit* p, std::size_t n) {
    std::size_t i = 0;
    // A UTF-8 byte order mark or U+FEFF may precede it.
    if (sizeof(Unit) == 1 && n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) i = 3;
    if (sizeof(Unit) > 1 && n >= 1 && p[0] == 0xFEFF) i = 1;
    while (i < n && (p[i] == ' ' || p[i] == '\t' || p[i] == '\r' || p[i] == '\n')) ++i;
    static const char head[] = "{\\rtf";
    for (int k = 0; k < 5; ++k, ++i)
        if (i >= n || p[i] != static_cast<unsigned char>(head[k])) return false;
    return true;
}

// The Document the reader's findings make: the paragraphs and runs in canonical form.
class DocumentSink final : public RtfSink {
public:
    void text(QStringView text, const Format& format) override {
        appendText(paragraph_, text, format);
    }
    void endParagraph(const Format& markFormat) override {
        finishParagraph(paragraph_, markFormat);
        document_.paragraphs.push_back(std::move(paragraph_));
        paragraph_ = Paragraph();
    }
    // The \par that ends the last paragraph adds nothing; text after it is a paragraph.
    Document finish() {
        if (!paragraph_.runs.empty()) document_.paragraphs.push_back(std::move(paragraph_));
        return std::move(document_);
    }

private:
    Document document_;
    Paragraph paragraph_;
};

// Input that is not RTF, told to a sink as the Document it reads as.
void replay(const Document& document, RtfSink& sink) {
    for (const Paragraph& p : document.paragraphs) {
        for (const Run& r : p.runs) sink.text(r.text, r.format);
        sink.endParagraph(p.runs.empty() ? Format() : p.runs.back().format);
    }
}

Document plainTextDocument(QString text) {
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    text.remove(QChar(0));
    if (text.isEmpty()) return Document();
    return Document::fromPlainText(text, Format());
}

Document notRtf(QByteArrayView data) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(data);
    if (utf8.hasError()) {
        text.clear();
        detail::decodeBytes(932, data.data(), static_cast<std::size_t>(data.size()), text);
    }
    return plainTextDocument(std::move(text));
}

}  // namespace

bool looksLikeRtf(QByteArrayView data) {
    return startsWithRtf(reinterpret_cast<const unsigned char*>(data.data()),
                         static_cast<std::size_t>(data.size()));
}

bool looksLikeRtf(QStringView text) {
    return startsWithRtf(reinterpret_cast<const char16_t*>(text.utf16()),
                         static_cast<std::size_t>(text.size()));
}

void readRtf(QByteArrayView rtf, RtfSink& sink) {
    if (!looksLikeRtf(rtf)) {
        replay(notRtf(rtf), sink);
        return;
    }
    Reader<unsigned char>(reinterpret_cast<const unsigned char*>(rtf.data()),
                          static_cast<std::size_t>(rtf.size()), sink)
        .run();
}

void readRtf(QStringView rtf, RtfSink& sink) {
    if (!looksLikeRtf(rtf)) {
        replay(plainTextDocument(rtf.toString()), sink);
        return;
    }
    Reader<char16_t>(reinterpret_cast<const char16_t*>(rtf.utf16()),
                     static_cast<std::size_t>(rtf.size()), sink)
        .run();
}

Document readRtf(QByteArrayView rtf) {
    if (!looksLikeRtf(rtf)) return notRtf(rtf);
    DocumentSink sink;
    readRtf(rtf, sink);
    return sink.finish();
}

Document readRtf(QStringView rtf) {
    if (!looksLikeRtf(rtf)) return plainTextDocument(rtf.toString());
    DocumentSink sink;
    readRtf(rtf, sink);
    return sink.finish();
}

}  // namespace richtext
