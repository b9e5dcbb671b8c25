#include "platform/dao/Database.h"

#include <sqlite3.h>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include "platform/dao/DaoError.h"
#include "platform/dao/JetFunctions.h"
#include "platform/dao/JetSql.h"
#include "platform/dao/Translator.h"

namespace dao {

namespace {

void execSimple(sqlite3* db, const char* sql) {
    char* message = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &message);
    sqlite3_free(message);
    if (rc != SQLITE_OK) raiseSqliteError(db, rc);
}

int pragmaInt(sqlite3* db, const char* pragma) {
    Prepared q(db, QString::fromLatin1(pragma));
    const int rc = sqlite3_step(q.get());
    if (rc != SQLITE_ROW) raiseSqliteError(db, rc);
    return sqlite3_column_int(q.get(), 0);
}

// The password is kept as a salted hash in two header fields of the file: the salt in
// application_id, the first 32 bits of SHA-256(salt, password) in user_version. A file
// with application_id 0 has no password.
std::int32_t passwordHash(std::int32_t salt, const QString& password) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const QByteArray saltBytes(reinterpret_cast<const char*>(&salt), sizeof salt);
    hash.addData(saltBytes);
    hash.addData(password.toUtf8());
    const QByteArray digest = hash.result();
    std::int32_t value;
    memcpy(&value, digest.constData(), sizeof value);
    return value;
}

void checkPassword(sqlite3* db, const QString& password) {
    const std::int32_t salt = pragmaInt(db, "PRAGMA application_id");
    if (salt == 0) return;
    if (pragmaInt(db, "PRAGMA user_version") != passwordHash(salt, password))
        raise(err::WrongPassword);
}

std::shared_ptr<Connection> openConnection(const QString& path, bool readOnly,
                                           const QString& password) {
    if (!QFileInfo(path).isFile()) raise(err::FileNotFound, path);
    auto connection = std::make_shared<Connection>();
    connection->path = path;
    sqlite3* db = nullptr;
    const int flags =
        (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close_v2(db);
        raise(err::CannotOpenFile, path);
    }
    connection->db = db;
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, 2000);
    try {
        checkPassword(db, password);
        connection->schema.load(db);
    } catch (const DaoError& e) {
        if (e.number() == err::WrongPassword) throw;
        raise(err::CannotOpenDatabase, path);
    }
    configureConnection(db);
    return connection;
}

}  // namespace

QString passwordFromConnect(const QString& connect) {
    for (const QString& part : connect.split(QLatin1Char(';'))) {
        const QString trimmed = part.trimmed();
        if (trimmed.startsWith(QLatin1String("PWD="), Qt::CaseInsensitive)) return trimmed.mid(4);
    }
    return {};
}

std::unique_ptr<Database> OpenDatabase(const QString& path, bool, bool readOnly,
                                       const QString& connect) {
    return std::make_unique<Database>(openConnection(path, readOnly, passwordFromConnect(connect)));
}

std::unique_ptr<Workspace> CreateWorkspace(const QString&, const QString& user, const QString&,
                                           int type) {
    return std::make_unique<Workspace>(user, type);
}

Database::~Database() = default;

std::unique_ptr<Recordset> Database::OpenRecordset(const QString& sql, int) {
    connection_->requireOpen();
    const jet::Statement statement = jet::parseStatement(sql);
    if (statement.kind != jet::Statement::Kind::Select) raise(err::InvalidOperation);
    return std::make_unique<Recordset>(connection_,
                                       jet::compileSelect(statement, connection_->schema));
}

QStringList Database::TableFieldNames(const QString& table) const {
    connection_->requireOpen();
    QStringList names;
    if (const Table* t = connection_->schema.table(table))
        for (const Column& c : t->columns) names << c.name;
    return names;
}

long long Database::Execute(const QString& sql) {
    connection_->requireOpen();
    const jet::Statement statement = jet::parseStatement(sql);
    if (statement.kind == jet::Statement::Kind::Select) raise(err::CannotExecuteSelect);
    Prepared q(connection_->db, jet::compileAction(statement, connection_->schema));
    const int rc = sqlite3_step(q.get());
    if (rc != SQLITE_DONE) raiseSqliteError(connection_->db, rc);
    return sqlite3_changes64(connection_->db);
}

void Database::Close() {
    connection_->close();
}

bool Database::HasWordIndex() const {
    connection_->requireOpen();
    return wordindex::present(connection_->db);
}

long long Database::WordIndexBacklog() const {
    connection_->requireOpen();
    return wordindex::backlog(connection_->db);
}

bool Database::UpdateWordIndex(bool rebuild, const wordindex::Progress& progress) {
    connection_->requireOpen();
    return wordindex::update(connection_->db, rebuild, progress);
}

void Database::DropWordIndex() {
    connection_->requireOpen();
    wordindex::drop(connection_->db);
}

void Database::BeginTrans() {
    connection_->requireOpen();
    // Nested transactions are savepoints, as Jet nests them.
    execSimple(connection_->db, QStringLiteral("SAVEPOINT dao_trans_%1")
                                    .arg(connection_->transactionDepth)
                                    .toUtf8()
                                    .constData());
    ++connection_->transactionDepth;
}

void Database::CommitTrans() {
    connection_->requireOpen();
    if (connection_->transactionDepth == 0) raise(err::NotInTransaction);
    --connection_->transactionDepth;
    execSimple(connection_->db, QStringLiteral("RELEASE dao_trans_%1")
                                    .arg(connection_->transactionDepth)
                                    .toUtf8()
                                    .constData());
}

void Database::Rollback() {
    connection_->requireOpen();
    if (connection_->transactionDepth == 0) raise(err::NotInTransaction);
    --connection_->transactionDepth;
    const QString name = QStringLiteral("dao_trans_%1").arg(connection_->transactionDepth);
    execSimple(connection_->db, ("ROLLBACK TO " + name + "; RELEASE " + name).toUtf8().constData());
}

void SetDatabasePassword(const QString& path, const QString& password) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) !=
        SQLITE_OK) {
        sqlite3_close_v2(db);
        raise(err::CannotOpenFile, path);
    }
    std::int32_t salt = 0;
    while (salt == 0) salt = static_cast<std::int32_t>(QRandomGenerator::system()->generate());
    const std::int32_t hash = password.isEmpty() ? 0 : passwordHash(salt, password);
    const QByteArray sql = QStringLiteral("PRAGMA application_id = %1; PRAGMA user_version = %2;")
                               .arg(password.isEmpty() ? 0 : salt)
                               .arg(hash)
                               .toUtf8();
    char* message = nullptr;
    const int rc = sqlite3_exec(db, sql.constData(), nullptr, nullptr, &message);
    sqlite3_free(message);
    sqlite3_close_v2(db);
    if (rc != SQLITE_OK) raise(err::CannotOpenFile, path);
}

void CompactDatabase(const QString& source, const QString& destination, const QString&, int,
                     const QString& password) {
    if (QFileInfo::exists(destination)) raise(err::DatabaseExists);
    const auto connection = openConnection(source, true, passwordFromConnect(password));
    // VACUUM INTO writes a partial file under a temporary name; only a complete copy is
    // renamed to the destination.
    const QString partial = destination + QStringLiteral(".partial");
    QFile::remove(partial);
    Prepared q(connection->db, "VACUUM INTO " + jet::quoteSqlString(partial));
    const int rc = sqlite3_step(q.get());
    if (rc != SQLITE_DONE) {
        QFile::remove(partial);
        raiseSqliteError(connection->db, rc);
    }
    if (!QFile::rename(partial, destination)) {
        QFile::remove(partial);
        raise(err::CannotOpenFile, destination);
    }
}

}  // namespace dao
