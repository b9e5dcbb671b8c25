#include "platform/dao/Connection.h"

#include <sqlite3.h>

#include "platform/dao/DaoError.h"
#include "platform/dao/JetFunctions.h"

namespace dao {

void Connection::requireOpen() const {
    if (!db) raise(err::ObjectClosed);
}

void Connection::close() {
    if (reader_) sqlite3_close_v2(reader_);
    reader_ = nullptr;
    if (!db) return;
    // Statements still held by recordsets keep the handle alive until they are finalized.
    sqlite3_close_v2(db);
    db = nullptr;
}

sqlite3* Connection::reader() {
    if (reader_ || readerFailed_ || !db) return reader_;
    const char* file = sqlite3_db_filename(db, "main");
    sqlite3* opened = nullptr;
    if (!file || sqlite3_open_v2(file, &opened, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX,
                                 nullptr) != SQLITE_OK) {
        sqlite3_close_v2(opened);
        readerFailed_ = true;
        return nullptr;
    }
    sqlite3_extended_result_codes(opened, 1);
    configureConnection(opened);
    // It reads records scattered over the file, each once: a large cache would only evict,
    // and the pages of a map of its own would count twice in the memory the program holds.
    sqlite3_exec(opened, "PRAGMA cache_size = -2048; PRAGMA mmap_size = 0", nullptr, nullptr,
                 nullptr);
    reader_ = opened;
    return reader_;
}

void configureConnection(sqlite3* db) {
    // A memory map and a roomy page cache save a scan of a small file most of its reads.
    // Both are bounded: every page of the map that a search touches counts as the program's
    // memory, and with a whole 2 GB file mapped a search over every record held 1.6 GB.
    sqlite3_exec(db,
                 "PRAGMA mmap_size = 67108864; PRAGMA cache_size = -65536; PRAGMA temp_store = "
                 "MEMORY; PRAGMA secure_delete = OFF",
                 nullptr, nullptr, nullptr);
    registerJetFunctions(db);
}

void raiseSqliteError(sqlite3* db, int rc, const QString& detail) {
    const int primary = rc & 0xFF;
    const QString message = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString();
    // The messages name the file; a statement's failure knows it only from the connection.
    const char* file = db ? sqlite3_db_filename(db, "main") : nullptr;
    const QString named = !detail.isEmpty() || !file ? detail : QString::fromUtf8(file);
    switch (primary) {
        case SQLITE_FULL:
            raise(err::DiskFull);
        case SQLITE_READONLY:
            raise(err::ReadOnly);
        case SQLITE_NOTADB:
        case SQLITE_CORRUPT:
            raise(err::CannotOpenDatabase, named);
        case SQLITE_CANTOPEN:
        case SQLITE_PERM:
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            raise(err::CannotOpenFile, named);
        case SQLITE_CONSTRAINT:
            if (rc == SQLITE_CONSTRAINT_NOTNULL) {
                // "NOT NULL constraint failed: データ.ID" names the field.
                const int dot = message.lastIndexOf(QLatin1Char('.'));
                raise(err::RequiredValue, dot >= 0 ? message.mid(dot + 1) : message);
            }
            if (rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY)
                raise(err::DuplicateKey);
            break;
        default:
            break;
    }
    throw DaoError(err::Reserved, errorDescription(err::Reserved, QString::number(err::Reserved)) +
                                      QLatin1Char(' ') + message);
}

Prepared::Prepared(sqlite3* db, const QString& sql) {
    const QByteArray utf8 = sql.toUtf8();
    const int rc =
        sqlite3_prepare_v2(db, utf8.constData(), static_cast<int>(utf8.size()), &stmt_, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        raiseSqliteError(db, rc);
    }
}

Prepared& Prepared::operator=(Prepared&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(stmt_);
        stmt_ = other.stmt_;
        other.stmt_ = nullptr;
    }
    return *this;
}

Prepared::~Prepared() {
    sqlite3_finalize(stmt_);
}

}  // namespace dao
