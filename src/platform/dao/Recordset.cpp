#include "platform/dao/Recordset.h"

#include <sqlite3.h>

#include <limits>
#include <string>
#include <unordered_set>

#include "platform/dao/DaoError.h"
#include "platform/dao/KeysetOrder.h"
#include "platform/dao/StoredValue.h"
#include "platform/dao/WordIndex.h"

namespace dao {

namespace {
constexpr std::int64_t kNoRow = keysetorder::kNoRow;  // outer-joined side missing

// Pages read once each gain nothing from a large page cache. The word index's candidates
// lie scattered over the file: with the cache full, every read first evicted a page, walking
// hash chains that miss the processor's cache (41,297 candidates in a million records: 185 ms
// of CPU, 145 ms with the cache this small while they are read). A read shared with the
// reader passes over most of the file once, and a full cache would only add to the memory
// held. Inside a transaction the cache stays as it is, so that dirty pages are not spilled.
class SmallPageCache {
public:
    explicit SmallPageCache(sqlite3* db) : db_(db) {
        if (!sqlite3_get_autocommit(db)) return;
        Prepared size(db, QStringLiteral("PRAGMA cache_size"));
        if (sqlite3_step(size.get()) != SQLITE_ROW) return;
        saved_ = sqlite3_column_int64(size.get(), 0);
        sqlite3_exec(db, "PRAGMA cache_size = -2048", nullptr, nullptr, nullptr);
    }
    ~SmallPageCache() {
        if (!saved_) return;
        const std::string restore = "PRAGMA cache_size = " + std::to_string(*saved_);
        sqlite3_exec(db_, restore.c_str(), nullptr, nullptr, nullptr);
    }
    SmallPageCache(const SmallPageCache&) = delete;
    SmallPageCache& operator=(const SmallPageCache&) = delete;

private:
    sqlite3* db_;
    std::optional<std::int64_t> saved_;
};
}  // namespace

// ---- Field ----

QString Field::Name() const {
    return rs_->select_.columns.at(index_).name;
}
JetType Field::Type() const {
    return rs_->select_.columns.at(index_).type;
}
int Field::Size() const {
    return rs_->select_.columns.at(index_).textLimit;
}
Variant Field::Value() const {
    return rs_->fieldValue(index_);
}
void Field::SetValue(const Variant& value) {
    rs_->setFieldValue(index_, value);
}

// ---- Recordset ----

Recordset::Recordset(std::shared_ptr<Connection> connection, jet::CompiledSelect select)
    : connection_(std::move(connection)), select_(std::move(select)) {
    stride_ = static_cast<int>(select_.tables.size());
    // Plain names first, so that "項目1" finds the field of that name before a qualified one.
    const auto add = [this](const QString& name, int i) {
        const QString folded = foldName(name);
        if (!fieldByName_.contains(folded)) fieldByName_.insert(folded, i);
    };
    for (int i = 0; i < FieldCount(); ++i) add(select_.columns[i].name, i);
    for (int i = 0; i < FieldCount(); ++i)
        if (!select_.columns[i].qualifiedName.isEmpty()) add(select_.columns[i].qualifiedName, i);
    loadKeys();
    position_ = RecordCount() > 0 ? 0 : -1;
}

Recordset::~Recordset() = default;

void Recordset::requireOpen() const {
    if (!open_) raise(err::ObjectClosed);
    connection_->requireOpen();
}

void Recordset::loadKeys() {
    connection_->requireOpen();
    sqlite3* db = connection_->db;
    // Conditions the word index answers read only its candidates; an index that cannot be
    // read leaves the statement as written, which is only slower.
    bool indexed = false;
    if (!select_.wordCondition.empty()) {
        try {
            indexed = wordindex::fillCandidates(db, select_.wordCondition);
        } catch (const DaoError&) {
            indexed = false;
        }
    }
    std::optional<SmallPageCache> scattered;
    if (indexed) scattered.emplace(db);  // candidates are read once each
    if (select_.keyset) {
        const QString& sql = indexed ? select_.indexedKeysetSql : select_.keysetSql;
        const QString& unordered =
            indexed ? select_.indexedUnorderedKeysetSql : select_.unorderedKeysetSql;
        // Where SQLite would sort the keys, the layer sorts them quicker (KeysetOrder.h).
        if (!unordered.isEmpty() && keysetorder::sqliteWouldSort(db, sql.toUtf8().constData())) {
            keys_ = readSortedKeys(unordered, indexed);
        } else {
            Prepared q(db, sql);
            int rc;
            while ((rc = sqlite3_step(q.get())) == SQLITE_ROW) {
                for (int t = 0; t < stride_; ++t)
                    keys_.push_back(sqlite3_column_type(q.get(), t) == SQLITE_NULL
                                        ? kNoRow
                                        : sqlite3_column_int64(q.get(), t));
            }
            if (rc != SQLITE_DONE) raiseSqliteError(db, rc);
        }
        rowQuery_ = Prepared(db, select_.rowSql);
    } else {
        Prepared q(db, indexed ? select_.indexedSnapshotSql : select_.snapshotSql);
        int rc;
        while ((rc = sqlite3_step(q.get())) == SQLITE_ROW) {
            std::vector<Variant> row;
            row.reserve(select_.columns.size());
            for (size_t c = 0; c < select_.columns.size(); ++c)
                row.push_back(readStored(q.get(), static_cast<int>(c), select_.columns[c].type));
            rows_.push_back(std::move(row));
        }
        if (rc != SQLITE_DONE) raiseSqliteError(db, rc);
    }
}

// Large reads are shared with the connection's reader and run on two cores: many word-index
// candidates (reading a record by rowid is mostly the kernel copying its page in), or a
// statement whose list of sets splits in two (a test over every set steps through a million
// index entries). Only outside a transaction, whose changes the reader could not see; a
// statement held open here keeps the file as it is until both have read.
std::vector<std::int64_t> Recordset::readSortedKeys(const QString& unordered, bool indexed) {
    sqlite3* db = connection_->db;
    const bool halves = !indexed && select_.unorderedKeysetHalves.size() == 2;
    sqlite3* reader =
        (indexed || halves) && sqlite3_get_autocommit(db) ? connection_->reader() : nullptr;
    // The reader failing (kept out by a writer elsewhere about to commit) leaves it all to
    // this connection, with every candidate back in its table.
    const auto readAllHere = [&] {
        if (indexed && !wordindex::fillCandidates(db, select_.wordCondition)) throw;
    };
    bool shared = false;
    if (reader) {
        try {
            shared = halves || wordindex::shareCandidates(db, reader, connection_->shareReadsFrom);
        } catch (const DaoError&) {
            readAllHere();
        }
    }
    if (shared) {
        const SmallPageCache readOnce(db);
        try {
            Prepared snapshot(db, QStringLiteral("SELECT count(*) FROM sqlite_master"));
            if (sqlite3_step(snapshot.get()) != SQLITE_ROW) raiseSqliteError(db, SQLITE_ERROR);
            Prepared mine(db, halves ? select_.unorderedKeysetHalves[0] : unordered);
            Prepared theirs(reader, halves ? select_.unorderedKeysetHalves[1] : unordered);
            return keysetorder::readSorted({{db, mine.get()}, {reader, theirs.get()}}, stride_,
                                           select_.orderDescending);
        } catch (const DaoError&) {
            readAllHere();
        }
    }
    Prepared q(db, unordered);
    return keysetorder::readSorted(db, q.get(), stride_, select_.orderDescending);
}

int Recordset::RecordCount() const {
    return select_.keyset ? static_cast<int>(keys_.size() / stride_)
                          : static_cast<int>(rows_.size());
}

bool Recordset::AtBOF() const {
    if (currentDeleted_) return false;
    return RecordCount() == 0 || position_ < 0;
}

bool Recordset::AtEOF() const {
    if (currentDeleted_) return false;
    return RecordCount() == 0 || position_ >= RecordCount();
}

int Recordset::AbsolutePosition() const {
    if (currentDeleted_ || position_ < 0 || position_ >= RecordCount()) return -1;
    return static_cast<int>(position_);
}

void Recordset::SetAbsolutePosition(int position) {
    requireOpen();
    if (position < 0 || position >= RecordCount()) raise(err::InvalidArgument);
    leaveRecord();
    landOn(position);
}

void Recordset::leaveRecord() {
    editMode_ = EditMode::None;
    buffer_.clear();
    changed_.clear();
}

void Recordset::landOn(long long position) {
    position_ = position;
    currentDeleted_ = false;
    rowLoaded_ = false;
    rowMissing_ = false;
}

void Recordset::MoveFirst() {
    requireOpen();
    if (RecordCount() == 0) raise(err::NoCurrentRecord);
    leaveRecord();
    landOn(0);
}

void Recordset::MoveLast() {
    requireOpen();
    if (RecordCount() == 0) raise(err::NoCurrentRecord);
    leaveRecord();
    landOn(RecordCount() - 1);
}

void Recordset::MoveNext() {
    requireOpen();
    if (AtEOF()) raise(err::NoCurrentRecord);
    leaveRecord();
    // After Delete the following row has already slid into the deleted row's place.
    const long long next = currentDeleted_ ? position_ : position_ + 1;
    landOn(std::min<long long>(next, RecordCount()));
}

void Recordset::MovePrevious() {
    requireOpen();
    if (AtBOF()) raise(err::NoCurrentRecord);
    leaveRecord();
    const long long previous = std::min<long long>(position_, RecordCount()) - 1;
    landOn(std::max<long long>(previous, -1));
}

void Recordset::Move(int rows) {
    requireOpen();
    if (currentDeleted_ ? false : AbsolutePosition() < 0) raise(err::NoCurrentRecord);
    leaveRecord();
    long long target = position_ + rows;
    if (currentDeleted_ && rows > 0) target -= 1;
    if (target < 0) target = -1;
    if (target > RecordCount()) target = RecordCount();
    landOn(target);
}

void Recordset::requireCurrent() const {
    if (currentDeleted_) raise(err::RecordDeleted);
    if (position_ < 0 || position_ >= RecordCount()) raise(err::NoCurrentRecord);
}

void Recordset::fetchRow() {
    sqlite3_stmt* q = rowQuery_.get();
    sqlite3_reset(q);
    sqlite3_clear_bindings(q);
    for (int t = 0; t < stride_; ++t) {
        const std::int64_t key = keys_[position_ * stride_ + t];
        if (key == kNoRow)
            sqlite3_bind_null(q, t + 1);
        else
            sqlite3_bind_int64(q, t + 1, key);
    }
    const int rc = sqlite3_step(q);
    values_.clear();
    if (rc == SQLITE_ROW) {
        values_.reserve(select_.columns.size());
        for (size_t c = 0; c < select_.columns.size(); ++c)
            values_.push_back(readStored(q, static_cast<int>(c), select_.columns[c].type));
        rowMissing_ = false;
    } else if (rc == SQLITE_DONE) {
        rowMissing_ = true;
    } else {
        sqlite3_reset(q);
        raiseSqliteError(connection_->db, rc);
    }
    sqlite3_reset(q);
    rowLoaded_ = true;
}

const std::vector<Variant>& Recordset::currentValues() {
    requireOpen();
    requireCurrent();
    if (!select_.keyset) return rows_[position_];
    if (!rowLoaded_) fetchRow();
    if (rowMissing_) raise(err::RecordDeleted);
    return values_;
}

std::optional<int> Recordset::fieldIndex(const QString& name) const {
    // The first field of a name wins, as Jet's Fields collection finds it.
    const auto it = fieldByName_.constFind(foldName(name));
    if (it == fieldByName_.constEnd()) return std::nullopt;
    return *it;
}

Field Recordset::Fields(int index) {
    requireOpen();
    if (index < 0 || index >= FieldCount()) raise(err::ItemNotFound);
    return Field(this, index);
}

Field Recordset::Fields(const QString& name) {
    requireOpen();
    const auto index = fieldIndex(name);
    if (!index) raise(err::ItemNotFound);
    return Field(this, *index);
}

Variant Recordset::fieldValue(int index) {
    requireOpen();
    if (editMode_ != EditMode::None) return buffer_.at(index);
    return currentValues().at(index);
}

const Column& Recordset::baseColumn(int index) const {
    const jet::ResultColumn& rc = select_.columns[index];
    return select_.tables[rc.tableIndex].table->columns[rc.columnIndex];
}

void Recordset::setFieldValue(int index, const Variant& value) {
    requireOpen();
    const jet::ResultColumn& rc = select_.columns.at(index);
    if (rc.tableIndex < 0) raise(select_.keyset ? err::FieldNotUpdatable : err::ReadOnly);
    if (editMode_ == EditMode::None) raise(err::UpdateWithoutEdit);
    const Column& column = baseColumn(index);
    // Conversion errors raise here, before anything reaches the buffer.
    buffer_[index] = coerceForField(value, column.type, column.textLimit);
    changed_[index] = true;
}

void Recordset::Edit() {
    requireOpen();
    if (!select_.keyset) raise(err::ReadOnly);
    const std::vector<Variant> current = currentValues();
    buffer_ = current;
    changed_.assign(buffer_.size(), false);
    editMode_ = EditMode::Edit;
}

void Recordset::AddNew() {
    requireOpen();
    if (!select_.keyset || select_.tables.size() != 1) raise(err::ReadOnly);
    // Literal defaults are read once per recordset; anything else (a function such as the
    // date) is worked out for every new row.
    const auto literal = [](const QString& sql) {
        bool number = false;
        sql.toDouble(&number);
        return number || (sql.size() >= 2 && sql.startsWith('\'') && sql.endsWith('\''));
    };
    if (!defaults_) {
        defaults_.emplace(select_.columns.size(), Variant::null());
        dynamicDefaults_.clear();
        for (size_t i = 0; i < select_.columns.size(); ++i) {
            if (select_.columns[i].tableIndex < 0) continue;
            const Column& column = baseColumn(static_cast<int>(i));
            if (column.defaultSql.isEmpty()) continue;
            if (!literal(column.defaultSql)) {
                dynamicDefaults_.push_back(static_cast<int>(i));
                continue;
            }
            Prepared q(connection_->db, "SELECT " + column.defaultSql);
            if (sqlite3_step(q.get()) == SQLITE_ROW)
                (*defaults_)[i] = readStored(q.get(), 0, column.type);
        }
    }
    buffer_ = *defaults_;
    for (const int i : dynamicDefaults_) {
        const Column& column = baseColumn(i);
        Prepared q(connection_->db, "SELECT " + column.defaultSql);
        if (sqlite3_step(q.get()) == SQLITE_ROW) buffer_[i] = readStored(q.get(), 0, column.type);
    }
    changed_.assign(buffer_.size(), false);
    editMode_ = EditMode::Add;
}

void Recordset::CancelUpdate() {
    requireOpen();
    if (editMode_ == EditMode::None) raise(err::UpdateWithoutEdit);
    leaveRecord();
}

void Recordset::Update() {
    requireOpen();
    if (editMode_ == EditMode::None) raise(err::UpdateWithoutEdit);
    if (editMode_ == EditMode::Edit)
        writeEdit();
    else
        writeAddNew();
    leaveRecord();
}

namespace {

QString quoted(const QString& name) {
    return QLatin1Char('"') + QString(name).replace('"', "\"\"") + QLatin1Char('"');
}

void stepToDone(sqlite3* db, const Prepared& q) {
    const int rc = sqlite3_step(q.get());
    if (rc != SQLITE_DONE && rc != SQLITE_ROW) raiseSqliteError(db, rc);
}

}  // namespace

void Recordset::writeEdit() {
    requireCurrent();
    sqlite3* db = connection_->db;
    // A join's fields may span tables: one statement per table, all or nothing.
    stepToDone(db, Prepared(db, QStringLiteral("SAVEPOINT dao_update")));
    try {
        for (int t = 0; t < stride_; ++t) {
            QStringList sets;
            std::vector<int> fields;
            for (size_t i = 0; i < changed_.size(); ++i) {
                if (!changed_[i] || select_.columns[i].tableIndex != t) continue;
                sets << quoted(baseColumn(static_cast<int>(i)).name) + QStringLiteral(" = ?");
                fields.push_back(static_cast<int>(i));
            }
            if (fields.empty()) continue;
            const std::int64_t key = keys_[position_ * stride_ + t];
            if (key == kNoRow) raise(err::FieldNotUpdatable);
            Prepared q(db, "UPDATE " + quoted(select_.tables[t].table->name) + " SET " +
                               sets.join(", ") + " WHERE rowid = ?");
            int k = 1;
            for (int i : fields) bindStored(q.get(), k++, buffer_[i], baseColumn(i).type);
            sqlite3_bind_int64(q.get(), k, key);
            stepToDone(db, q);
        }
        stepToDone(db, Prepared(db, QStringLiteral("RELEASE dao_update")));
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK TO dao_update; RELEASE dao_update", nullptr, nullptr, nullptr);
        throw;
    }
    rowLoaded_ = false;
}

void Recordset::writeAddNew() {
    sqlite3* db = connection_->db;
    std::vector<int> fields;
    for (size_t i = 0; i < changed_.size(); ++i)
        if (changed_[i]) fields.push_back(static_cast<int>(i));
    if (!insert_ || insertColumns_ != changed_) {
        QStringList columns, marks;
        for (int i : fields) {
            columns << quoted(baseColumn(i).name);
            marks << QStringLiteral("?");
        }
        const QString table = quoted(select_.tables[0].table->name);
        insert_ =
            Prepared(db, columns.isEmpty() ? "INSERT INTO " + table + " DEFAULT VALUES"
                                           : "INSERT INTO " + table + " (" + columns.join(", ") +
                                                 ") VALUES (" + marks.join(", ") + ")");
        insertColumns_ = changed_;
    }
    sqlite3_reset(insert_.get());
    sqlite3_clear_bindings(insert_.get());
    int k = 1;
    for (int i : fields) bindStored(insert_.get(), k++, buffer_[i], baseColumn(i).type);
    stepToDone(db, insert_);
    sqlite3_reset(insert_.get());  // a finished statement holds no lock until the next row
    // The new row joins the end of the keyset; the current record stays where it was.
    keys_.push_back(sqlite3_last_insert_rowid(db));
}

void Recordset::Delete() {
    requireOpen();
    if (!select_.keyset || stride_ != 1) raise(err::ReadOnly);
    requireCurrent();
    leaveRecord();
    sqlite3* db = connection_->db;
    Prepared q(db, "DELETE FROM " + quoted(select_.tables[0].table->name) + " WHERE rowid = ?");
    sqlite3_bind_int64(q.get(), 1, keys_[position_]);
    stepToDone(db, q);
    keys_.erase(keys_.begin() + position_);
    currentDeleted_ = true;
    rowLoaded_ = false;
}

std::vector<char> Recordset::findMatches(const QString& criteria) {
    requireOpen();
    if (!select_.keyset) raise(err::InvalidOperation);
    const jet::ExprPtr expr = jet::parseCriteria(criteria);
    QString condition;
    try {
        condition = jet::compileCriteria(*expr, select_);
    } catch (const DaoError& e) {
        if (e.number() == err::SyntaxInExpression) raise(err::SyntaxInCriteria, criteria);
        throw;
    }
    QStringList keys;
    for (const auto& t : select_.tables) keys << t.sqlAlias + ".rowid";
    Prepared q(connection_->db,
               "SELECT " + keys.join(", ") + " FROM " + select_.fromSql + " WHERE " + condition);
    std::unordered_set<std::string> found;
    int rc;
    while ((rc = sqlite3_step(q.get())) == SQLITE_ROW) {
        std::string key;
        for (int t = 0; t < stride_; ++t) {
            const std::int64_t k = sqlite3_column_type(q.get(), t) == SQLITE_NULL
                                       ? kNoRow
                                       : sqlite3_column_int64(q.get(), t);
            key.append(reinterpret_cast<const char*>(&k), sizeof k);
        }
        found.insert(std::move(key));
    }
    if (rc != SQLITE_DONE) raiseSqliteError(connection_->db, rc);
    std::vector<char> matches(RecordCount(), 0);
    for (int r = 0; r < RecordCount(); ++r) {
        const std::string key(
            reinterpret_cast<const char*>(&keys_[static_cast<size_t>(r) * stride_]),
            sizeof(std::int64_t) * stride_);
        matches[r] = found.count(key) ? 1 : 0;
    }
    return matches;
}

void Recordset::findFrom(const QString& criteria, long long start, int step) {
    const std::vector<char> matches = findMatches(criteria);
    for (long long r = start; r >= 0 && r < RecordCount(); r += step) {
        if (matches[r]) {
            leaveRecord();
            landOn(r);
            noMatch_ = false;
            return;
        }
    }
    noMatch_ = true;
}

void Recordset::FindFirst(const QString& criteria) {
    findFrom(criteria, 0, 1);
}
void Recordset::FindLast(const QString& criteria) {
    findFrom(criteria, RecordCount() - 1, -1);
}

void Recordset::FindNext(const QString& criteria) {
    const long long start = currentDeleted_ ? position_ : position_ + 1;
    findFrom(criteria, std::max<long long>(start, 0), 1);
}

void Recordset::FindPrevious(const QString& criteria) {
    findFrom(criteria, std::min<long long>(position_, RecordCount()) - 1, -1);
}

void Recordset::Close() {
    open_ = false;
    rowQuery_ = Prepared();
    insert_ = Prepared();
    keys_.clear();
    rows_.clear();
    values_.clear();
    leaveRecord();
}

}  // namespace dao
