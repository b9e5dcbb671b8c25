#pragma once

#include <cstdint>
#include <limits>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// Putting a keyset in the order of its statement's ORDER BY without SQLite's sorter.
//
// SQLite sorts a large keyset by writing every row's sort values into a temporary b-tree:
// a test over a million records spent 0.9 s of its 1 s there. The layer instead reads the
// keys and the ORDER BY values in whatever order the plan yields them, and merges the runs
// that are already in order (an index often delivers each set's records sorted), comparing
// values exactly as SQLite's ORDER BY does with the BINARY collation: Null first, then
// numbers by value (integers against reals exactly), then text byte by byte, then blobs.
namespace dao::keysetorder {

// A key of a table missing from an outer join's row; sorts first, as Null does.
inline constexpr std::int64_t kNoRow = std::numeric_limits<std::int64_t>::min();

// Whether SQLite would sort the statement's rows itself (its plan uses a temporary b-tree
// for the ORDER BY), so that sorting them here can only save time.
bool sqliteWouldSort(sqlite3* db, const char* sql);

// Steps `unordered`, whose columns are keyCount row keys followed by one value per ORDER BY
// term, and returns the keys (keyCount per row) sorted by those values, descending where
// asked, and then by the keys themselves, ascending.
std::vector<std::int64_t> readSorted(sqlite3* db, sqlite3_stmt* unordered, int keyCount,
                                     const std::vector<bool>& descending);

// One share of the rows, read through its own connection.
struct Part {
    sqlite3* db = nullptr;
    sqlite3_stmt* unordered = nullptr;
};

// The same over several statements whose rows together are the keyset: every part after the
// first is stepped on a thread of its own, so that connections read at once on several cores.
std::vector<std::int64_t> readSorted(const std::vector<Part>& parts, int keyCount,
                                     const std::vector<bool>& descending);

}  // namespace dao::keysetorder
