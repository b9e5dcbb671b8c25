#include "platform/dao/KeysetOrder.h"

#include <sqlite3.h>

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <future>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <type_traits>
#include <utility>

#include "platform/dao/Connection.h"

namespace dao::keysetorder {

namespace {

enum class Kind : std::uint8_t { Null, Integer, Real, Text, Blob };

// One ORDER BY value as SQLite hands it over; the bytes are SQLite's until the next step.
struct Cell {
    union {
        std::int64_t integer;
        double real;
    };
    const char* bytes = nullptr;
    std::uint32_t length = 0;
    Kind kind = Kind::Null;
};

// One ORDER BY value kept for comparing; text and blobs live in the reader's byte arena.
struct Value {
    union {
        std::int64_t integer;
        double real;
        std::uint64_t offset;
    };
    std::uint32_t length = 0;
    Kind kind = Kind::Null;
};

int storageClass(Kind kind) {
    switch (kind) {
        case Kind::Null:
            return 0;
        case Kind::Integer:
        case Kind::Real:
            return 1;
        case Kind::Text:
            return 2;
        case Kind::Blob:
            return 3;
    }
    return 0;
}

// A growing array of plain values that grows with realloc: a large block then moves by
// remapping its pages instead of being copied, so reading a million rows never holds the old
// and the new block at once (a vector briefly needs both, a third more memory at the peak).
template <typename T>
class GrowingArray {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    GrowingArray() = default;
    GrowingArray(const GrowingArray&) = delete;
    GrowingArray& operator=(const GrowingArray&) = delete;
    ~GrowingArray() { std::free(data_); }

    void push_back(const T& value) {
        if (size_ == capacity_) grow(size_ + 1);
        data_[size_++] = value;
    }
    void append(const T* values, std::size_t count) {
        if (size_ + count > capacity_) grow(size_ + count);
        if (count > 0) std::memcpy(data_ + size_, values, count * sizeof(T));
        size_ += count;
    }
    void clear() {
        std::free(data_);
        data_ = nullptr;
        size_ = capacity_ = 0;
    }
    std::size_t size() const { return size_; }
    T* data() { return data_; }
    const T* data() const { return data_; }
    const T& operator[](std::size_t i) const {
        assert(i < size_);
        return data_[i];
    }

private:
    void grow(std::size_t needed) {
        std::size_t capacity = std::max<std::size_t>(capacity_ * 2, 4096);
        while (capacity < needed) capacity *= 2;
        void* moved = std::realloc(data_, capacity * sizeof(T));
        if (!moved) throw std::bad_alloc();
        data_ = static_cast<T*>(moved);
        capacity_ = capacity;
    }

    T* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

template <typename T>
int threeWay(T a, T b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

// An integer against a real as SQLite compares them: in extended precision, so that no
// 64-bit integer is rounded.
int compareIntegerReal(std::int64_t i, double r) {
    const long double x = static_cast<long double>(i);
    const long double y = r;
    return threeWay(x, y);
}

// A row to sort: its first two ORDER BY values as storage class and order-keeping 64-bit
// prefix, its keys packed into one number where they fit, and its row number. Most
// comparisons then read only this, in contiguous memory.
struct Entry {
    std::uint64_t prefix[2] = {0, 0};
    std::uint64_t keys = 0;
    std::uint32_t row = 0;
    std::uint8_t storageClass[2] = {0, 0};
    std::uint8_t exact = 0;  // bit t: prefix t is the whole value; bit 2: keys are
};

constexpr std::uint8_t kKeysExact = 4;
constexpr std::uint8_t kWhole = 7;
constexpr std::uint64_t kSignBit = 1ULL << 63;

// The prefix of a value: its number as an ordered bit pattern, or the first eight bytes of
// its text. Exact when equal prefixes mean equal values.
std::uint64_t prefixOf(const Cell& v, bool& exact) {
    exact = true;
    switch (v.kind) {
        case Kind::Null:
            return 0;
        case Kind::Integer:
        case Kind::Real: {
            double d = v.kind == Kind::Integer ? static_cast<double>(v.integer) : v.real;
            if (v.kind == Kind::Integer)
                exact = v.integer >= -(1LL << 53) && v.integer <= (1LL << 53);
            if (d == 0) d = 0;  // -0.0 equals 0.0
            const auto bits = std::bit_cast<std::uint64_t>(d);
            return (bits & kSignBit) != 0 ? ~bits : bits | kSignBit;
        }
        case Kind::Text:
        case Kind::Blob: {
            std::uint64_t head = 0;
            exact = v.length <= 8;
            for (std::uint32_t i = 0; i < 8; ++i) {
                const unsigned byte = i < v.length ? static_cast<unsigned char>(v.bytes[i]) : 0U;
                if (i < v.length && byte == 0) exact = false;  // "a" and "a\0" share a prefix
                head = (head << 8) | byte;
            }
            return head;
        }
    }
    return 0;
}

Cell readCell(sqlite3_value* value) {
    Cell c;
    c.integer = 0;
    switch (sqlite3_value_type(value)) {
        case SQLITE_INTEGER:
            c.kind = Kind::Integer;
            c.integer = sqlite3_value_int64(value);
            break;
        case SQLITE_FLOAT:
            c.kind = Kind::Real;
            c.real = sqlite3_value_double(value);
            break;
        case SQLITE_TEXT:
            c.kind = Kind::Text;
            c.bytes = reinterpret_cast<const char*>(sqlite3_value_text(value));
            c.length = static_cast<std::uint32_t>(sqlite3_value_bytes(value));
            break;
        case SQLITE_BLOB:
            c.kind = Kind::Blob;
            c.bytes = static_cast<const char*>(sqlite3_value_blob(value));
            c.length = static_cast<std::uint32_t>(sqlite3_value_bytes(value));
            break;
        default:
            break;
    }
    return c;
}

// A loser tree over `runs` ordered runs, for `rows` rows in all: run r plays at leaf
// runs + r, node i keeps the loser of the match below it, and the winner's row comes next.
// beats(a, b) says whether run a's first row sorts before run b's; next(r) takes run r's
// first row away.
template <typename Beats, typename Next>
void playTournament(std::size_t runs, std::size_t rows, const Beats& beats, const Next& next) {
    std::vector<std::size_t> loser(runs);
    std::vector<std::size_t> winnerAt(2 * runs);
    for (std::size_t r = 0; r < runs; ++r) winnerAt[runs + r] = r;
    for (std::size_t node = runs - 1; node > 0; --node) {
        const std::size_t left = winnerAt[2 * node];
        const std::size_t right = winnerAt[2 * node + 1];
        const bool rightWins = beats(right, left);
        winnerAt[node] = rightWins ? right : left;
        loser[node] = rightWins ? left : right;
    }
    std::size_t winner = runs > 1 ? winnerAt[1] : 0;
    for (std::size_t i = 0; i < rows; ++i) {
        next(winner);
        for (std::size_t node = (runs + winner) / 2; node > 0; node /= 2) {
            const std::size_t other = loser[node];
            const bool otherWins = beats(other, winner);
            loser[node] = otherWins ? winner : other;
            winner = otherWins ? other : winner;
        }
    }
}

// Beyond this many ordered runs, sorting the rows at once is quicker than merging them.
constexpr std::size_t kMaxRuns = 4096;
// From this many rows on, a second thread merges half of them.
constexpr std::size_t kRowsWorthASecondThread = 100000;

// The rows of a keyset as they are read, and their order.
//
// Each row is one Entry. The keys and the values themselves are kept only once some row needs
// them (keys that do not pack, a value longer than its prefix, more than two ORDER BY terms);
// the rows before it then get theirs back from their entries, whose prefixes were their whole
// values. A test over a million records needs neither, and reads nothing but entries.
class Rows {
public:
    Rows(int keyCount, const std::vector<bool>& descending)
        : keyCount_(keyCount),
          terms_(descending.size()),
          descending_(descending.begin(), descending.end()),
          keysKept_(keyCount > 2),
          valuesKept_(descending.size() > 2) {}

    void read(sqlite3* db, sqlite3_stmt* q) {
        std::vector<std::int64_t> keys(static_cast<std::size_t>(keyCount_));
        std::vector<Cell> cells(terms_);
        int rc;
        while ((rc = sqlite3_step(q)) == SQLITE_ROW) {
            for (int k = 0; k < keyCount_; ++k) {
                // Null reads as 0; only then is the type worth asking.
                const std::int64_t key = sqlite3_column_int64(q, k);
                keys[static_cast<std::size_t>(k)] =
                    key == 0 && sqlite3_column_type(q, k) == SQLITE_NULL ? kNoRow : key;
            }
            for (std::size_t t = 0; t < terms_; ++t)
                cells[t] = readCell(sqlite3_column_value(q, keyCount_ + static_cast<int>(t)));
            add(keys.data(), cells.data());
        }
        if (rc != SQLITE_DONE) raiseSqliteError(db, rc);
    }

    // Another reader's rows after these, as if read here. Both keep keys or values once
    // either does; the other's runs stay runs.
    void append(Rows& other) {
        if (other.entries_.size() == 0) return;
        if (other.keysKept_ && !keysKept_) keepEarlierKeys();
        if (keysKept_ && !other.keysKept_) other.keepEarlierKeys();
        if (other.valuesKept_ && !valuesKept_) keepEarlierValues();
        if (valuesKept_ && !other.valuesKept_) other.keepEarlierValues();
        const std::size_t shift = entries_.size();
        if (shift > 0) runStarts_.push_back(shift);
        for (std::size_t r = 1; r < other.runStarts_.size(); ++r)
            runStarts_.push_back(shift + other.runStarts_[r]);
        for (std::size_t i = 0; i < other.entries_.size(); ++i) {
            Entry e = other.entries_[i];
            e.row += static_cast<std::uint32_t>(shift);
            entries_.push_back(e);
        }
        other.entries_.clear();
        keys_.append(other.keys_.data(), other.keys_.size());
        other.keys_.clear();
        const std::uint64_t bytesBefore = bytes_.size();
        for (std::size_t i = 0; i < other.values_.size(); ++i) {
            Value v = other.values_[i];
            if (v.kind == Kind::Text || v.kind == Kind::Blob) v.offset += bytesBefore;
            values_.push_back(v);
        }
        other.values_.clear();
        bytes_.append(other.bytes_.data(), other.bytes_.size());
        other.bytes_.clear();
    }

    // The keys of every row in order: the runs merged, or the rows sorted when they came in
    // no order worth merging.
    std::vector<std::int64_t> sortedKeys() {
        const bool merge = runStarts_.size() <= kMaxRuns;
        if (!merge) {
            Entry* begin = entries_.data();
            std::sort(begin, begin + entries_.size(),
                      [this](const Entry& a, const Entry& b) { return less(a, b); });
            // Only the order needed the values: a search returning every record peaks here.
            values_.clear();
            bytes_.clear();
        }
        std::vector<std::int64_t> out(entries_.size() * static_cast<std::size_t>(keyCount_));
        if (merge) {
            mergeRuns(out.data());
        } else {
            std::int64_t* next = out.data();
            for (std::size_t i = 0; i < entries_.size(); ++i) next = copyKeys(entries_[i], next);
        }
        return out;
    }

private:
    void add(const std::int64_t* keys, const Cell* cells) {
        Entry e;
        e.row = static_cast<std::uint32_t>(entries_.size());
        bool needsValues = false;
        for (std::size_t t = 0; t < 2 && t < terms_; ++t) {
            bool exact = true;
            const std::uint64_t p = prefixOf(cells[t], exact);
            const auto cls = static_cast<std::uint8_t>(storageClass(cells[t].kind));
            e.prefix[t] = descending_[t] ? ~p : p;
            e.storageClass[t] = descending_[t] ? static_cast<std::uint8_t>(3 - cls) : cls;
            if (exact)
                e.exact |= static_cast<std::uint8_t>(1U << t);
            else
                needsValues = true;
        }
        if (terms_ < 2) e.exact |= 2;
        const bool packed = packKeys(keys, e.keys);
        if (packed) e.exact |= kKeysExact;
        if (!packed && !keysKept_) keepEarlierKeys();
        if (needsValues && !valuesKept_) keepEarlierValues();
        entries_.push_back(e);
        if (keysKept_) keys_.append(keys, static_cast<std::size_t>(keyCount_));
        if (valuesKept_)
            for (std::size_t t = 0; t < terms_; ++t) values_.push_back(kept(cells[t]));
        noteRun();
    }

    // A row that sorts before the one read before it starts a new run.
    void noteRun() {
        const std::size_t n = entries_.size();
        if (n < 2 || runStarts_.size() > kMaxRuns) return;
        if (less(entries_[n - 1], entries_[n - 2])) runStarts_.push_back(n - 1);
    }

    // Stretches of entries in order, each from begin[r] to end[r].
    struct Runs {
        std::vector<const Entry*> begin;
        std::vector<const Entry*> end;

        std::size_t rows() const {
            std::size_t count = 0;
            for (std::size_t r = 0; r < begin.size(); ++r)
                count += static_cast<std::size_t>(end[r] - begin[r]);
            return count;
        }
    };

    Runs runs() const {
        const std::size_t count = runStarts_.size();
        Runs all{std::vector<const Entry*>(count), std::vector<const Entry*>(count)};
        for (std::size_t r = 0; r < count; ++r) {
            all.begin[r] = entries_.data() + runStarts_[r];
            all.end[r] = entries_.data() + (r + 1 < count ? runStarts_[r + 1] : entries_.size());
        }
        return all;
    }

    // The rows before the middle row of the longest run, and the rest: two merges that can
    // run side by side, each into its own part of the result.
    std::pair<Runs, Runs> halves(const Runs& all) const {
        std::size_t longest = 0;
        for (std::size_t r = 0; r < all.begin.size(); ++r)
            if (all.end[r] - all.begin[r] > all.end[longest] - all.begin[longest]) longest = r;
        const Entry middle = all.begin[longest][(all.end[longest] - all.begin[longest]) / 2];
        Runs first = all;
        Runs second = all;
        for (std::size_t r = 0; r < all.begin.size(); ++r)
            first.end[r] = second.begin[r] =
                std::lower_bound(all.begin[r], all.end[r], middle,
                                 [this](const Entry& a, const Entry& b) { return less(a, b); });
        return {std::move(first), std::move(second)};
    }

    // The runs merged into `out`, a large keyset in two halves at once.
    void mergeRuns(std::int64_t* out) const {
        const Runs all = runs();
        if (entries_.size() < kRowsWorthASecondThread || std::thread::hardware_concurrency() < 2) {
            mergeRanges(all, out);
            return;
        }
        const std::pair<Runs, Runs> half = halves(all);
        std::int64_t* secondOut = out + half.first.rows() * static_cast<std::size_t>(keyCount_);
        std::future<void> later;
        try {
            later = std::async(std::launch::async, [&] { mergeRanges(half.second, secondOut); });
        } catch (const std::system_error&) {
            // No thread to be had: one merge does it all, only slower.
            mergeRanges(all, out);
            return;
        }
        mergeRanges(half.first, out);
        later.get();
    }

    // A merge through a tournament over the runs' first rows (a loser tree): each row costs
    // about log2(runs) comparisons, and nothing is copied but its keys.
    void mergeRanges(Runs runs, std::int64_t* out) const {
        const auto beats = [&runs, this](std::size_t a, std::size_t b) {
            if (runs.begin[a] == runs.end[a]) return false;
            if (runs.begin[b] == runs.end[b]) return true;
            return less(*runs.begin[a], *runs.begin[b]);
        };
        playTournament(runs.begin.size(), runs.rows(), beats,
                       [&](std::size_t w) { out = copyKeys(*runs.begin[w]++, out); });
    }

    // Rows whose prefixes are their whole values and whose keys are packed compare without
    // leaving their entries: the usual case, kept small enough to be inlined.
    bool less(const Entry& a, const Entry& b) const {
        if ((a.exact & b.exact) != kWhole || terms_ > 2) return lessByValues(a, b);
        if (a.storageClass[0] != b.storageClass[0]) return a.storageClass[0] < b.storageClass[0];
        if (a.prefix[0] != b.prefix[0]) return a.prefix[0] < b.prefix[0];
        if (a.storageClass[1] != b.storageClass[1]) return a.storageClass[1] < b.storageClass[1];
        if (a.prefix[1] != b.prefix[1]) return a.prefix[1] < b.prefix[1];
        return a.keys < b.keys;
    }

    [[gnu::noinline]] bool lessByValues(const Entry& a, const Entry& b) const {
        for (std::size_t t = 0; t < 2; ++t) {
            if (a.storageClass[t] != b.storageClass[t])
                return a.storageClass[t] < b.storageClass[t];
            if (a.prefix[t] != b.prefix[t]) return a.prefix[t] < b.prefix[t];
            // Equal prefixes may hide different values.
            if ((a.exact & b.exact & (1U << t)) == 0)
                if (const int c = compareTerm(a.row, b.row, t); c != 0) return c < 0;
        }
        for (std::size_t t = 2; t < terms_; ++t)
            if (const int c = compareTerm(a.row, b.row, t); c != 0) return c < 0;
        if ((a.exact & b.exact & kKeysExact) != 0) return a.keys < b.keys;
        return compareKeys(a.row, b.row) < 0;
    }

    Value kept(const Cell& c) {
        Value v;
        v.integer = 0;
        v.kind = c.kind;
        switch (c.kind) {
            case Kind::Null:
                break;
            case Kind::Integer:
                v.integer = c.integer;
                break;
            case Kind::Real:
                v.real = c.real;
                break;
            case Kind::Text:
            case Kind::Blob:
                v.offset = bytes_.size();
                v.length = c.length;
                if (c.bytes) bytes_.append(c.bytes, c.length);
                break;
        }
        return v;
    }

    // The value of term t of a row whose prefix is the whole value.
    Value valueFromPrefix(const Entry& e, std::size_t t) {
        const std::uint64_t p = descending_[t] ? ~e.prefix[t] : e.prefix[t];
        const int cls = descending_[t] ? 3 - e.storageClass[t] : e.storageClass[t];
        Value v;
        v.integer = 0;
        if (cls == 1) {
            // A whole integer is a double without rounding, and compares as one.
            v.kind = Kind::Real;
            v.real = std::bit_cast<double>((p & kSignBit) != 0 ? p & ~kSignBit : ~p);
        } else if (cls >= 2) {
            v.kind = cls == 2 ? Kind::Text : Kind::Blob;
            v.offset = bytes_.size();
            for (int i = 7; i >= 0; --i) {
                const char byte = static_cast<char>((p >> (8 * i)) & 0xFF);
                if (byte == 0) break;  // an exact prefix has no zero byte within its value
                bytes_.push_back(byte);
                ++v.length;
            }
        }
        return v;
    }

    void keepEarlierValues() {
        for (std::size_t row = 0; row < entries_.size(); ++row)
            for (std::size_t t = 0; t < terms_; ++t)
                values_.push_back(valueFromPrefix(entries_[row], t));
        valuesKept_ = true;
    }

    void keepEarlierKeys() {
        std::vector<std::int64_t> keys(static_cast<std::size_t>(keyCount_));
        for (std::size_t row = 0; row < entries_.size(); ++row) {
            unpackKeys(entries_[row].keys, keys.data());
            keys_.append(keys.data(), keys.size());
        }
        keysKept_ = true;
    }

    int compareValues(const Value& a, const Value& b) const {
        const int classA = storageClass(a.kind);
        const int classB = storageClass(b.kind);
        if (classA != classB) return threeWay(classA, classB);
        switch (a.kind) {
            case Kind::Null:
                return 0;
            case Kind::Integer:
                return b.kind == Kind::Integer ? threeWay(a.integer, b.integer)
                                               : compareIntegerReal(a.integer, b.real);
            case Kind::Real:
                return b.kind == Kind::Real ? threeWay(a.real, b.real)
                                            : -compareIntegerReal(b.integer, a.real);
            case Kind::Text:
            case Kind::Blob: {
                // BINARY collation: the bytes, then the length.
                const std::string_view x(bytes_.data() + a.offset, a.length);
                const std::string_view y(bytes_.data() + b.offset, b.length);
                const int c = x.compare(y);
                return c < 0 ? -1 : (c > 0 ? 1 : 0);
            }
        }
        return 0;
    }

    int compareTerm(std::uint32_t a, std::uint32_t b, std::size_t term) const {
        if (term >= terms_) return 0;
        const int c = compareValues(values_[a * terms_ + term], values_[b * terms_ + term]);
        return descending_[term] != 0 ? -c : c;
    }

    int compareKeys(std::uint32_t a, std::uint32_t b) const {
        const std::size_t count = static_cast<std::size_t>(keyCount_);
        assert((std::max(a, b) + 1) * count <= keys_.size());
        const std::int64_t* x = keys_.data() + a * count;
        const std::int64_t* y = keys_.data() + b * count;
        for (std::size_t k = 0; k < count; ++k)
            if (x[k] != y[k]) return threeWay(x[k], y[k]);
        return 0;
    }

    // One key as it is, or two rowids below 2^32 side by side; the missing row of an outer
    // join counts as the lowest.
    bool packKeys(const std::int64_t* keys, std::uint64_t& packed) const {
        packed = 0;
        if (keyCount_ == 1) {
            packed = static_cast<std::uint64_t>(keys[0]) ^ kSignBit;
            return true;
        }
        if (keyCount_ != 2) return false;
        for (int i = 0; i < 2; ++i) {
            const std::int64_t key = keys[i];
            if (key != kNoRow && (key < 0 || key >= 0xFFFFFFFFLL)) return false;
            packed = (packed << 32) | (key == kNoRow ? 0U : static_cast<std::uint64_t>(key) + 1);
        }
        return true;
    }

    void unpackKeys(std::uint64_t packed, std::int64_t* keys) const {
        if (keyCount_ == 1) {
            keys[0] = static_cast<std::int64_t>(packed ^ kSignBit);
            return;
        }
        for (int i = 0; i < 2; ++i) {
            const std::uint64_t key = (packed >> (32 * (1 - i))) & 0xFFFFFFFFU;
            keys[i] = key == 0 ? kNoRow : static_cast<std::int64_t>(key - 1);
        }
    }

    std::int64_t* copyKeys(const Entry& e, std::int64_t* out) const {
        if ((e.exact & kKeysExact) != 0) {
            unpackKeys(e.keys, out);
        } else {
            const std::size_t count = static_cast<std::size_t>(keyCount_);
            assert((e.row + 1) * count <= keys_.size());
            std::memcpy(out, keys_.data() + e.row * count, count * sizeof(std::int64_t));
        }
        return out + keyCount_;
    }

    int keyCount_;
    std::size_t terms_;
    std::vector<std::uint8_t> descending_;
    bool keysKept_;
    bool valuesKept_;
    GrowingArray<Entry> entries_;
    std::vector<std::size_t> runStarts_{0};
    GrowingArray<std::int64_t> keys_;
    GrowingArray<Value> values_;
    GrowingArray<char> bytes_;
};

}  // namespace

bool sqliteWouldSort(sqlite3* db, const char* sql) {
    sqlite3_stmt* plan = nullptr;
    const std::string explain = std::string("EXPLAIN QUERY PLAN ") + sql;
    if (sqlite3_prepare_v2(db, explain.c_str(), -1, &plan, nullptr) != SQLITE_OK) {
        sqlite3_finalize(plan);
        return false;
    }
    bool sorts = false;
    while (!sorts && sqlite3_step(plan) == SQLITE_ROW) {
        const auto* detail = reinterpret_cast<const char*>(sqlite3_column_text(plan, 3));
        // "USE TEMP B-TREE FOR ORDER BY", "... FOR RIGHT PART OF ORDER BY" and the like.
        sorts = detail && std::strstr(detail, "TEMP B-TREE FOR") && std::strstr(detail, "ORDER BY");
    }
    sqlite3_finalize(plan);
    return sorts;
}

std::vector<std::int64_t> readSorted(sqlite3* db, sqlite3_stmt* unordered, int keyCount,
                                     const std::vector<bool>& descending) {
    return readSorted({Part{db, unordered}}, keyCount, descending);
}

std::vector<std::int64_t> readSorted(const std::vector<Part>& parts, int keyCount,
                                     const std::vector<bool>& descending) {
    if (parts.empty()) return {};
    std::vector<std::unique_ptr<Rows>> rows;
    std::vector<std::exception_ptr> errors(parts.size());
    const auto readPart = [&parts, &rows, &errors](std::size_t p) {
        try {
            rows[p]->read(parts[p].db, parts[p].unordered);
        } catch (...) {
            errors[p] = std::current_exception();
        }
    };
    for (std::size_t p = 0; p < parts.size(); ++p)
        rows.push_back(std::make_unique<Rows>(keyCount, descending));
    std::vector<std::thread> threads;
    std::size_t here = 1;  // parts after the threads started are read on this thread
    try {
        for (; here < parts.size(); ++here) threads.emplace_back(readPart, here);
    } catch (const std::system_error&) {
        // No thread to be had: the rest is read here, only slower.
    }
    readPart(0);
    for (std::size_t p = here; p < parts.size(); ++p) readPart(p);
    for (std::thread& t : threads) t.join();
    for (const std::exception_ptr& e : errors)
        if (e) std::rethrow_exception(e);
    for (std::size_t p = 1; p < parts.size(); ++p) rows[0]->append(*rows[p]);
    return rows[0]->sortedKeys();
}

}  // namespace dao::keysetorder
