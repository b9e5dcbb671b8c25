#include "search/SearchResultSource.h"

#include <array>

#include "platform/dao/DaoError.h"
#include "platform/dao/Recordset.h"

namespace search {

namespace {

// The grid shows columns 0 to 5; the double-click reads the record's ID from column 17.
constexpr std::array<int, 7> kCachedColumns = {0, 1, 2, 3, 4, 5, 17};
constexpr int kCachedWidth = 18;

// Puts the result's cursor back where it was, whatever happens while reading.
class KeepPosition {
public:
    explicit KeepPosition(dao::Recordset* rs) : rs_(rs), position_(rs->AbsolutePosition()) {}
    ~KeepPosition() {
        if (position_ < 0) return;
        try {
            rs_->SetAbsolutePosition(position_);
        } catch (const dao::DaoError&) {
        }
    }
    KeepPosition(const KeepPosition&) = delete;
    KeepPosition& operator=(const KeepPosition&) = delete;

private:
    dao::Recordset* rs_;
    int position_;
};

bool readable(const dao::Recordset* rs) {
    return rs->isOpen() && rs->editMode() == dao::EditMode::None;
}

}  // namespace

SearchResultSource::SearchResultSource(dao::Recordset* result)
    : result_(result), rowCount_(result->RecordCount()) {}

QString SearchResultSource::text(int row, int col) const {
    const int position = row - 1;
    if (position < 0 || position >= rowCount_ || col < 0) return QString();
    if (col >= kCachedWidth || (col > 5 && col != 17)) return readOne(position, col);
    const int first = position / kBlockRows * kBlockRows;
    const Block* rows = block(first);
    if (!rows) return QString();
    return (*rows)[position - first][col];
}

const SearchResultSource::Block* SearchResultSource::block(int first) const {
    if (const auto it = blocks_.find(first); it != blocks_.end()) return &it->second;
    if (!readable(result_)) return nullptr;
    if (blocks_.size() >= kMaxBlocks) blocks_.clear();
    Block rows;
    const int last = std::min(first + kBlockRows, rowCount_);
    rows.reserve(last - first);
    KeepPosition keep(result_);
    for (int p = first; p < last; ++p) {
        std::vector<QString> cells(kCachedWidth);
        try {
            result_->SetAbsolutePosition(p);
            for (int c : kCachedColumns) cells[c] = result_->Fields(c).Value().displayText();
        } catch (const dao::DaoError&) {
            // A row removed since the search shows empty.
        }
        rows.push_back(std::move(cells));
    }
    return &blocks_.emplace(first, std::move(rows)).first->second;
}

QString SearchResultSource::readOne(int position, int col) const {
    if (!readable(result_) || col >= result_->FieldCount()) return QString();
    KeepPosition keep(result_);
    try {
        result_->SetAbsolutePosition(position);
        return result_->Fields(col).Value().displayText();
    } catch (const dao::DaoError&) {
        return QString();
    }
}

}  // namespace search
