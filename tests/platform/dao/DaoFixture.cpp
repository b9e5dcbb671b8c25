#include "platform/dao/DaoFixture.h"

#include "platform/dao/DaoError.h"
#include "platform/dao/SafeLiteral.h"

void DaoTest::SetUp() {
    db = dao::OpenDatabase(file.path(), false, false, "MS Access;PWD=kWf4r8nz");
}

void DaoTest::TearDown() {
    if (db) db->Close();
}

void DaoTest::addSet(int dbID, const QString& name) {
    auto rs = open("select  * from データベース設定");
    rs->AddNew();
    rs->Fields("dbID") = dbID;
    rs->Fields("データベース名") = name;
    rs->Fields("項目1名称") = "単語";
    rs->Fields("項目2名称") = "読み";
    rs->Fields("項目3名称") = "意味";
    rs->Fields("正解率閾値") = 60;
    rs->Fields("終了状態") = false;
    rs->Update();
}

void DaoTest::addRecord(int id, int dbID, const QString& item1, const QString& item2,
                        const QString& item3, int right, int asked, double rate,
                        const QString& date, const QString& time, const QString& comment,
                        const QString& source) {
    const QString rateSql = rate < 0 ? QStringLiteral("Null") : QString::number(rate);
    db->Execute(
        QStringLiteral(
            "INSERT INTO データ (ID, dbID, 項目１, 項目２, 項目３, コメント, 出展, 項目１RTF, "
            "正解回数, 出題回数, 正解率, 登録日, 登録時刻) VALUES (%1, %2, %3, %4, %5, %6, %7, "
            "'{\\rtf1 x}', %8, %9, %10, #%11#, #%12#)")
            .arg(id)
            .arg(dbID)
            .arg(dao::sqlLiteral(item1), dao::sqlLiteral(item2), dao::sqlLiteral(item3),
                 dao::sqlLiteral(comment), dao::sqlLiteral(source))
            .arg(right)
            .arg(asked)
            .arg(rateSql, date, time));
}

QStringList DaoTest::column(const QString& sql, const QString& field) {
    QStringList values;
    auto rs = open(sql);
    while (!rs->AtEOF()) {
        const dao::Variant v = rs->Fields(field).Value();
        values << (v.isNull() ? QStringLiteral("<Null>") : v.toString());
        rs->MoveNext();
    }
    return values;
}
