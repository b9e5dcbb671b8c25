#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

// The word index: which records of データ contain which pairs of characters in their five
// plain text columns, so that "*word*" conditions read a few lists instead of every record.
// It only proposes candidates; the statement still checks each one with jet_like, so a
// result is the same with or without it.
//
// Stored in three tables of the file itself. Triggers written in plain SQL log every record
// inserted, or whose ID or texts change, in the same transaction as the change; logged
// records are candidates for every search until they are folded into the lists. A record
// deleted or changed leaves its old entries behind as harmless false candidates until the
// next rebuild. The file therefore stays writable from any SQLite shell, and the index stays
// right whatever writes the records.
namespace dao::wordindex {

// A condition the index can answer: an AND of groups, each group an OR of LIKE patterns
// over the indexed columns, each pattern given by the runs of plain characters every match
// contains (folded as jet_like folds).
using Pattern = std::vector<std::u32string>;
using Group = std::vector<Pattern>;
using Condition = std::vector<Group>;

// Name of the temporary table, and of its column, that a restricted statement reads its
// candidates' rowids from.
inline constexpr const char* kCandidateTable = "temp.\"kenvora_word_candidate_rows\"";
inline constexpr const char* kCandidateColumn = "rid";
// The unique index on データ.ID that the candidates' rowids are looked up in.
inline constexpr const char* kIdIndex = "データ_ID";

// Called with records done and the total; returning false abandons the work.
using Progress = std::function<bool(long long done, long long total)>;

bool present(sqlite3* db);
// Records still to index: every record when the index is missing, else the logged ones.
long long backlog(sqlite3* db);
// Builds the index from scratch (rebuild) or folds the logged records into it, in one
// savepoint. False when the progress callback abandoned it; nothing is changed then.
bool update(sqlite3* db, bool rebuild, const Progress& progress = {});
void drop(sqlite3* db);

// Fills the candidate table for a condition (the rowids of the candidates) and returns true, or
// returns false when the index is missing or would propose so many records that reading them all is
// as quick.
bool fillCandidates(sqlite3* db, const Condition& condition);

// Moves the upper half of the filled candidate table (by rowid) into the candidate table of
// another connection to the same file, when there are at least `atLeast` candidates, so that
// the two can read their records at once. True when it did.
bool shareCandidates(sqlite3* db, sqlite3* other, long long atLeast);

// The keys a record's texts are filed under: each character with the one after it, the last
// character of a text with a zero. Exposed for tests.
std::vector<std::uint64_t> keysOf(const std::vector<std::string>& texts);

// Candidate IDs of a condition, sorted, or nothing when the index cannot narrow it down.
// Logged records are included. Exposed for tests.
std::optional<std::vector<std::int64_t>> candidates(sqlite3* db, const Condition& condition);

}  // namespace dao::wordindex
