#pragma once

#include <QHash>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/dao/Connection.h"
#include "platform/dao/Translator.h"
#include "platform/dao/Variant.h"

namespace dao {

class Recordset;

// One field of a recordset's current record (or of the record being edited).
class Field {
public:
    Field(Recordset* recordset, int index) : rs_(recordset), index_(index) {}
    QString Name() const;
    JetType Type() const;
    int Size() const;  // Text(n): n; else 0
    Variant Value() const;
    void SetValue(const Variant& value);
    Field& operator=(const Variant& value) {
        SetValue(value);
        return *this;
    }

private:
    Recordset* rs_;
    int index_;
};

enum class EditMode { None, Edit, Add };

// A DAO-style recordset. Over one table or an INNER JOIN it is a dynaset: a keyset of the
// rows' keys in result order, whose fields are read when the cursor lands on a row and
// written back to each field's own table. Statements with aggregates are read-only
// snapshots. Positions are 0-based.
class Recordset {
public:
    Recordset(std::shared_ptr<Connection> connection, jet::CompiledSelect select);
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    bool AtBOF() const;
    bool AtEOF() const;
    int RecordCount() const;
    int AbsolutePosition() const;  // -1 with no current record
    void SetAbsolutePosition(int position);
    bool Updatable() const { return select_.keyset; }

    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();
    void Move(int rows);

    void FindFirst(const QString& criteria);
    void FindLast(const QString& criteria);
    void FindNext(const QString& criteria);
    void FindPrevious(const QString& criteria);
    bool NoMatch() const { return noMatch_; }

    void Edit();
    void AddNew();
    void Update();
    void CancelUpdate();
    void Delete();
    EditMode editMode() const { return editMode_; }

    int FieldCount() const { return static_cast<int>(select_.columns.size()); }
    Field Fields(int index);
    Field Fields(const QString& name);
    // Reading shortcut: rs.value("項目1").
    Variant value(const QString& name) { return Fields(name).Value(); }
    std::optional<int> fieldIndex(const QString& name) const;

    void Close();
    bool isOpen() const { return open_; }

private:
    friend class Field;

    void requireOpen() const;
    void loadKeys();
    std::vector<std::int64_t> readSortedKeys(const QString& unordered, bool indexed);
    void requireCurrent() const;
    void landOn(long long position);
    const std::vector<Variant>& currentValues();
    void fetchRow();
    void leaveRecord();  // a move discards a pending Edit/AddNew
    Variant fieldValue(int index);
    void setFieldValue(int index, const Variant& value);
    std::vector<char> findMatches(const QString& criteria);
    void findFrom(const QString& criteria, long long start, int step);
    void writeEdit();
    void writeAddNew();
    const Column& baseColumn(int index) const;

    std::shared_ptr<Connection> connection_;
    jet::CompiledSelect select_;
    bool open_ = true;
    int stride_ = 1;                          // keys per row: one rowid per table
    std::vector<std::int64_t> keys_;          // keyset, stride_ keys per row
    std::vector<std::vector<Variant>> rows_;  // snapshot rows
    long long position_ = -1;                 // -1 BOF, count EOF, else current
    bool currentDeleted_ = false;             // Delete leaves the cursor on the removed row
    bool rowLoaded_ = false;
    bool rowMissing_ = false;  // removed by someone else since the keyset was made
    std::vector<Variant> values_;
    Prepared rowQuery_;
    // Kept for the next AddNew: a batch of new rows costs one parse, not one per row.
    std::optional<std::vector<Variant>> defaults_;
    std::vector<int> dynamicDefaults_;
    Prepared insert_;
    std::vector<bool> insertColumns_;
    EditMode editMode_ = EditMode::None;
    std::vector<Variant> buffer_;
    std::vector<bool> changed_;
    bool noMatch_ = false;
    QHash<QString, int> fieldByName_;  // folded field names, "table.column" too
};

}  // namespace dao
