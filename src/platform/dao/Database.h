#pragma once

#include <QString>
#include <QStringList>

#include <memory>

#include "platform/dao/Connection.h"
#include "platform/dao/Recordset.h"
#include "platform/dao/WordIndex.h"

namespace dao {

// Recordset types of OpenRecordset; every type opens what the statement allows (a dynaset
// for tables and joins, a snapshot for aggregates).
constexpr int dbOpenTable = 1;
constexpr int dbOpenDynaset = 2;
constexpr int dbOpenSnapshot = 4;

// An open database file.
class Database {
public:
    explicit Database(std::shared_ptr<Connection> connection)
        : connection_(std::move(connection)) {}
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    std::unique_ptr<Recordset> OpenRecordset(const QString& sql, int type = dbOpenDynaset);
    // Runs DELETE, UPDATE or INSERT; returns the number of records affected.
    long long Execute(const QString& sql);
    void Close();
    bool isOpen() const { return connection_->isOpen(); }
    QString Name() const { return connection_->path; }
    // The table's field names in their stored order; empty when there is no such table.
    QStringList TableFieldNames(const QString& table) const;

    // The word index that answers the search's "*word*" conditions (WordIndex.h): whether
    // the file has it, how many records it still has to take in, and building it (rebuild,
    // or when missing) or taking in the records changed since. False when abandoned.
    bool HasWordIndex() const;
    long long WordIndexBacklog() const;
    bool UpdateWordIndex(bool rebuild, const wordindex::Progress& progress = {});
    void DropWordIndex();
    // A statement reading at least this many of the index's candidates shares them with a
    // second connection, and the two read at once (4,096 unless lowered, as tests do).
    void SetSharedReadsFrom(long long candidates) { connection_->shareReadsFrom = candidates; }

    void BeginTrans();
    void CommitTrans();
    void Rollback();

private:
    std::shared_ptr<Connection> connection_;
};

// Opens a database file. The connect string may carry ";PWD=password"; a file that records
// a password refuses a missing or wrong one with error 3031. Missing file: 3024; not a
// database: 3049.
std::unique_ptr<Database> OpenDatabase(const QString& path, bool exclusive, bool readOnly,
                                       const QString& connect);

// The workspace the program opens its database in ("admin", Jet workspace type 2).
class Workspace {
public:
    Workspace(QString user, int type) : user_(std::move(user)), type_(type) {}
    std::unique_ptr<Database> OpenDatabase(const QString& path, bool exclusive, bool readOnly,
                                           const QString& connect) const {
        return dao::OpenDatabase(path, exclusive, readOnly, connect);
    }
    QString userName() const { return user_; }
    int type() const { return type_; }

private:
    QString user_;
    int type_;
};

std::unique_ptr<Workspace> CreateWorkspace(const QString& name, const QString& user,
                                           const QString& password, int type);

// Writes a compacted copy of source to destination. The source password (";PWD=...") is
// checked and kept. Nothing is left under the destination name unless the copy is complete;
// an existing destination is refused with 3204.
void CompactDatabase(const QString& source, const QString& destination, const QString& locale,
                     int options, const QString& password);

// Records a database password in a file (used when the supplied file is made).
void SetDatabasePassword(const QString& path, const QString& password);

// The password part of a connect string such as "MS Access;PWD=kWf4r8nz" (empty if none).
QString passwordFromConnect(const QString& connect);

}  // namespace dao
