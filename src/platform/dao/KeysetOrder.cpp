#include "platform/dao/KeysetOrder.h"

#include <sqlite3.h>

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <thread>
#include <type_traits>

#include "platform/dao/Connection.h"

namespace dao::keysetorder {

namespace {

enum class Kind : std::uint8_t { Null, Integer, Real, Text, Blob };

// One ORDER BY value of one row; text and blobs live in the reader's byte arena.
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
    const T* data() const { return data_; }
    const T& operator[](std::size_t i) const { return data_[i]; }

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

// The prefix of a value: its number as an ordered bit pattern, or the first eight bytes of
// its text. Exact when equal prefixes mean equal values.
std::uint64_t prefixOf(const Value& v, const char* bytes, bool& exact) {
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
            return (bits >> 63) != 0 ? ~bits : bits | (1ULL << 63);
        }
        case Kind::Text:
        case Kind::Blob: {
            std::uint64_t head = 0;
            exact = v.length <= 8;
            for (std::uint32_t i = 0; i < 8; ++i) {
                const unsigned byte =
                    i < v.length ? static_cast<unsigned char>(bytes[v.offset + i]) : 0U;
                if (i < v.length && byte == 0) exact = false;  // "a" and "a\0" share a prefix
                head = (head << 8) | byte;
            }
            return head;
        }
    }
    return 0;
}

class Rows {
public:
    Rows(int keyCount, const std::vector<bool>& descending)
        : keyCount_(keyCount), descending_(descending) {}

    void read(sqlite3* db, sqlite3_stmt* q) {
        const int terms = static_cast<int>(descending_.size());
        int rc;
        while ((rc = sqlite3_step(q)) == SQLITE_ROW) {
            for (int k = 0; k < keyCount_; ++k) {
                // Null reads as 0; only then is the type worth asking.
                const std::int64_t key = sqlite3_column_int64(q, k);
                keys_.push_back(key == 0 && sqlite3_column_type(q, k) == SQLITE_NULL ? kNoRow
                                                                                     : key);
            }
            for (int t = 0; t < terms; ++t)
                values_.push_back(readValue(sqlite3_column_value(q, keyCount_ + t)));
        }
        if (rc != SQLITE_DONE) raiseSqliteError(db, rc);
    }

    // Another reader's rows after these; its texts move into this arena.
    void append(const Rows& other) {
        const std::uint64_t shift = bytes_.size();
        keys_.append(other.keys_.data(), other.keys_.size());
        for (std::size_t i = 0; i < other.values_.size(); ++i) {
            Value v = other.values_[i];
            if (v.kind == Kind::Text || v.kind == Kind::Blob) v.offset += shift;
            values_.push_back(v);
        }
        bytes_.append(other.bytes_.data(), other.bytes_.size());
    }

    std::size_t count() const { return keyCount_ > 0 ? keys_.size() / keyCount_ : 0; }

    std::vector<Entry> entries() const {
        const std::size_t terms = descending_.size();
        std::vector<Entry> out(count());
        for (std::size_t row = 0; row < out.size(); ++row) {
            Entry& e = out[row];
            e.row = static_cast<std::uint32_t>(row);
            for (std::size_t t = 0; t < 2 && t < terms; ++t) {
                const Value& v = values_[row * terms + t];
                bool exact = true;
                const std::uint64_t p = prefixOf(v, bytes_.data(), exact);
                const auto cls = static_cast<std::uint8_t>(storageClass(v.kind));
                e.prefix[t] = descending_[t] ? ~p : p;
                e.storageClass[t] = descending_[t] ? static_cast<std::uint8_t>(3 - cls) : cls;
                if (exact) e.exact |= static_cast<std::uint8_t>(1U << t);
            }
            if (terms < 2) e.exact |= 2;
            if (packKeys(row, e.keys)) e.exact |= kKeysExact;
        }
        return out;
    }

    bool less(const Entry& a, const Entry& b) const {
        for (std::size_t t = 0; t < 2; ++t) {
            if (a.storageClass[t] != b.storageClass[t])
                return a.storageClass[t] < b.storageClass[t];
            if (a.prefix[t] != b.prefix[t]) return a.prefix[t] < b.prefix[t];
            // Equal prefixes may hide different values.
            if ((a.exact & b.exact & (1U << t)) == 0)
                if (const int c = compareTerm(a.row, b.row, t); c != 0) return c < 0;
        }
        for (std::size_t t = 2; t < descending_.size(); ++t)
            if (const int c = compareTerm(a.row, b.row, t); c != 0) return c < 0;
        if ((a.exact & b.exact & kKeysExact) != 0) return a.keys < b.keys;
        return compareKeys(a.row, b.row) < 0;
    }

    // The values are only needed while sorting.
    void dropValues() {
        values_.clear();
        bytes_.clear();
    }

    std::vector<std::int64_t> keysIn(const std::vector<Entry>& order) const {
        std::vector<std::int64_t> out;
        out.reserve(keys_.size());
        for (const Entry& e : order)
            out.insert(out.end(), keys_.data() + static_cast<std::size_t>(e.row) * keyCount_,
                       keys_.data() + static_cast<std::size_t>(e.row + 1) * keyCount_);
        return out;
    }

private:
    Value readValue(sqlite3_value* value) {
        Value v;
        v.integer = 0;
        switch (sqlite3_value_type(value)) {
            case SQLITE_INTEGER:
                v.kind = Kind::Integer;
                v.integer = sqlite3_value_int64(value);
                break;
            case SQLITE_FLOAT:
                v.kind = Kind::Real;
                v.real = sqlite3_value_double(value);
                break;
            case SQLITE_TEXT:
            case SQLITE_BLOB: {
                const bool text = sqlite3_value_type(value) == SQLITE_TEXT;
                const void* bytes = text ? static_cast<const void*>(sqlite3_value_text(value))
                                         : sqlite3_value_blob(value);
                v.kind = text ? Kind::Text : Kind::Blob;
                v.length = static_cast<std::uint32_t>(sqlite3_value_bytes(value));
                v.offset = bytes_.size();
                if (bytes) bytes_.append(static_cast<const char*>(bytes), v.length);
                break;
            }
            default:
                v.kind = Kind::Null;
                break;
        }
        return v;
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
        const std::size_t terms = descending_.size();
        if (term >= terms) return 0;
        const int c = compareValues(values_[a * terms + term], values_[b * terms + term]);
        return descending_[term] ? -c : c;
    }

    int compareKeys(std::uint32_t a, std::uint32_t b) const {
        const std::int64_t* x = keys_.data() + static_cast<std::size_t>(a) * keyCount_;
        const std::int64_t* y = keys_.data() + static_cast<std::size_t>(b) * keyCount_;
        for (int k = 0; k < keyCount_; ++k)
            if (x[k] != y[k]) return threeWay(x[k], y[k]);
        return 0;
    }

    // One key as it is, or two rowids below 2^32 side by side; the missing row of an outer
    // join counts as the lowest.
    bool packKeys(std::size_t row, std::uint64_t& packed) const {
        const std::int64_t* k = keys_.data() + row * keyCount_;
        if (keyCount_ == 1) {
            packed = static_cast<std::uint64_t>(k[0]) ^ (1ULL << 63);
            return true;
        }
        if (keyCount_ != 2) return false;
        packed = 0;
        for (int i = 0; i < 2; ++i) {
            const std::int64_t key = k[i];
            if (key != kNoRow && (key < 0 || key >= 0xFFFFFFFFLL)) return false;
            packed = (packed << 32) | (key == kNoRow ? 0U : static_cast<std::uint64_t>(key) + 1);
        }
        return true;
    }

    int keyCount_;
    std::vector<bool> descending_;
    GrowingArray<std::int64_t> keys_;
    GrowingArray<Value> values_;
    GrowingArray<char> bytes_;
};

// A merge of the runs already in order: rows read set by set through an
// index come as a few long runs and cost one comparison each plus a few merges.
std::vector<Entry> sortRows(const Rows& rows) {
    std::vector<Entry> order = rows.entries();
    const auto less = [&rows](const Entry& a, const Entry& b) { return rows.less(a, b); };
    const std::size_t n = order.size();
    std::vector<std::size_t> bounds{0};
    for (std::size_t i = 1; i < n; ++i)
        if (less(order[i], order[i - 1])) bounds.push_back(i);
    bounds.push_back(n);
    // Rows in no particular order (a random test's rate and count order) sort quicker at once.
    if (bounds.size() > 66) {
        std::sort(order.begin(), order.end(), less);
        return order;
    }
    std::vector<Entry> merged(n);
    while (bounds.size() > 2) {
        std::vector<std::size_t> next{0};
        for (std::size_t r = 0; r + 1 < bounds.size(); r += 2) {
            const auto begin = static_cast<std::ptrdiff_t>(bounds[r]);
            const auto middle = static_cast<std::ptrdiff_t>(bounds[r + 1]);
            const auto end =
                static_cast<std::ptrdiff_t>(r + 2 < bounds.size() ? bounds[r + 2] : bounds[r + 1]);
            std::merge(order.begin() + begin, order.begin() + middle, order.begin() + middle,
                       order.begin() + end, merged.begin() + begin, less);
            next.push_back(static_cast<std::size_t>(end));
        }
        order.swap(merged);
        bounds.swap(next);
    }
    return order;
}

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
    Rows rows(keyCount, descending);
    if (parts.empty()) return {};
    std::vector<std::unique_ptr<Rows>> others;
    std::vector<std::exception_ptr> errors(parts.size());
    std::vector<std::thread> threads;
    for (std::size_t p = 1; p < parts.size(); ++p) {
        others.push_back(std::make_unique<Rows>(keyCount, descending));
        threads.emplace_back([&parts, &errors, p, into = others.back().get()] {
            try {
                into->read(parts[p].db, parts[p].unordered);
            } catch (...) {
                errors[p] = std::current_exception();
            }
        });
    }
    try {
        rows.read(parts[0].db, parts[0].unordered);
    } catch (...) {
        errors[0] = std::current_exception();
    }
    for (std::thread& t : threads) t.join();
    for (const std::exception_ptr& e : errors)
        if (e) std::rethrow_exception(e);
    for (const auto& other : others) rows.append(*other);
    const std::vector<Entry> order = sortRows(rows);
    rows.dropValues();
    return rows.keysIn(order);
}

}  // namespace dao::keysetorder
