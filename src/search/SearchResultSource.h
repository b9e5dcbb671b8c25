#pragma once

#include <QString>

#include <unordered_map>
#include <vector>

#include "platform/ui/FlexGrid.h"

namespace dao {
class Recordset;
}

namespace search {

// The result grid's rows read straight from the result set, a block of rows at a time
// when the grid first needs one of them, so a search with 100,000 hits shows at once.
// Grid row n is record n - 1 of the result. Reading moves the result's cursor and puts it
// back; nothing is read while the current record is being edited.
class SearchResultSource final : public ui::FlexGridSource {
public:
    explicit SearchResultSource(dao::Recordset* result);

    int rowCount() const override { return rowCount_; }
    QString text(int row, int col) const override;

    // Rows are read again when next needed (after a record was written back).
    void forget() const { blocks_.clear(); }

private:
    static constexpr int kBlockRows = 64;
    static constexpr std::size_t kMaxBlocks = 64;

    using Block = std::vector<std::vector<QString>>;  // rows of the grid's columns
    const Block* block(int first) const;
    QString readOne(int position, int col) const;

    dao::Recordset* result_;
    int rowCount_;
    mutable std::unordered_map<int, Block> blocks_;  // by first position of the block
};

}  // namespace search
