#pragma once

#include <QString>

#include <memory>

#include "platform/dao/Schema.h"

struct sqlite3;
struct sqlite3_stmt;

namespace dao {

// One open SQLite connection, shared by a Database and the recordsets opened on it, so that
// closing the database makes every recordset on it fail cleanly instead of dangling.
struct Connection {
    sqlite3* db = nullptr;
    Schema schema;
    QString path;
    int transactionDepth = 0;

    bool isOpen() const { return db != nullptr; }
    void requireOpen() const;
    void close();
    ~Connection() { close(); }

    // A second, read-only connection to the same file, opened on first use, so that a large
    // read can be shared out and run on two cores. Null when it cannot be opened.
    sqlite3* reader();
    // Reads of at least this many word-index candidates are shared with the reader.
    long long shareReadsFrom = 4096;

private:
    sqlite3* reader_ = nullptr;
    bool readerFailed_ = false;
};

// The settings every connection to a file gets: its memory map, page cache and functions.
void configureConnection(sqlite3* db);

// Raises the Jet error that best describes the connection's last SQLite failure.
[[noreturn]] void raiseSqliteError(sqlite3* db, int rc, const QString& detail = {});

// A prepared SQLite statement that finalizes itself.
class Prepared {
public:
    Prepared() = default;
    Prepared(sqlite3* db, const QString& sql);
    Prepared(Prepared&& other) noexcept : stmt_(other.stmt_) { other.stmt_ = nullptr; }
    Prepared& operator=(Prepared&& other) noexcept;
    Prepared(const Prepared&) = delete;
    Prepared& operator=(const Prepared&) = delete;
    ~Prepared();

    sqlite3_stmt* get() const { return stmt_; }
    explicit operator bool() const { return stmt_ != nullptr; }

private:
    sqlite3_stmt* stmt_ = nullptr;
};

}  // namespace dao
