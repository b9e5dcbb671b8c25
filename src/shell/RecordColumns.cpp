#include "shell/RecordColumns.h"

#include "platform/dao/Recordset.h"

namespace shell {

void writeRecordTexts(dao::Recordset& rs, const RecordTexts& texts) {
    for (std::size_t box = 0; box < texts.size(); ++box) {
        if (!texts[box]) continue;
        rs.Fields(QString::fromUtf8(kRecordTextColumns[box].text)) = texts[box]->text;
        rs.Fields(QString::fromUtf8(kRecordTextColumns[box].rtf)) = texts[box]->rtf;
    }
}

}  // namespace shell
