#include "records/RecordWindowFixture.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QTest>

#include "platform/dao/SafeLiteral.h"
#include "platform/richtext/RichTextBox.h"
#include "records/RecordWindows.h"
#include "records/RecordsState.h"
#include "records/frmMDIChild.h"
#include "shell/DataStore.h"
#include "shell/MainModule.h"

void RecordWindowTest::SetUp() {
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    shell::resetMainModule();
    records::resetRecordsState();
    shell::openDataStore(file.folder());
    main = std::make_unique<QMainWindow>();
    area = new QMdiArea;
    main->setCentralWidget(area);
    main->resize(1000, 800);
    main->show();
    records::setRecordWindowArea(area);
}

void RecordWindowTest::TearDown() {
    shell::mainModule().closing = true;  // tear-down closes windows without writing
    main.reset();
    records::resetRecordsState();
    shell::closeDataStore();
    shell::resetMainModule();
}

void RecordWindowTest::addSet(int dbID, const QString& name, const QString& delimiters1,
                              const QString& delimiters2) {
    QString sql = QStringLiteral("INSERT INTO データベース設定 VALUES (%1, 0").arg(dbID);
    for (int i = 0; i < 7; ++i) sql += ", 16777215";
    for (int i = 0; i < 7; ++i) sql += ", 0";
    for (int i = 0; i < 7; ++i) sql += ", 10";
    sql += ", 0, 0, 8415, 8250, 0, Null, " + dao::sqlLiteral(name) + ", " +
           dao::sqlLiteral(delimiters1) + ", " + dao::sqlLiteral(delimiters2) +
           ", '単語', '読み', '意味'";
    for (int i = 0; i < 7; ++i) sql += ", 'ＭＳ Ｐゴシック'";
    sql += ", '', False, True, True, True, True, True";
    for (int i = 0; i < 28; ++i) sql += ", False";
    sql += ")";
    shell::mainModule().database->Execute(sql);
    shell::openSettingsRecordset();
    shell::rebuildDataBaseList();
}

void RecordWindowTest::addRecord(int id, int dbID, const QString& item1, const QString& date,
                                 const QString& time, int right, int asked) {
    shell::mainModule().database->Execute(
        QStringLiteral(
            "INSERT INTO データ (ID, dbID, 項目１, 登録日, 登録時刻, 正解回数, 出題回数) VALUES "
            "(%1, %2, %3, #%4#, #%5#, %6, %7)")
            .arg(id)
            .arg(dbID)
            .arg(dao::sqlLiteral(item1), date, time)
            .arg(right)
            .arg(asked));
    shell::loadHighestID();
}

frmMDIChild* RecordWindowTest::openSet(int dbID) {
    QString name;
    for (const auto& entry : shell::mainModule().dataBaseList)
        if (entry.dbID == dbID) name = entry.name;
    records::OpenDataBaseFromMenu(dbID, name);
    const int slot = [&] {
        auto& s = shell::mainModule().childSettings;
        for (size_t i = 0; i < s.size(); ++i)
            if (s[i].dbID == dbID) return static_cast<int>(i);
        return -1;
    }();
    frmMDIChild* w = records::windowOfSlot(slot);
    QApplication::processEvents();
    w->Form_Activate();
    return w;
}

QString RecordWindowTest::field(int id, const QString& name) {
    auto rs = shell::mainModule().database->OpenRecordset(
        QStringLiteral("select * from データ where ID = %1").arg(id));
    if (rs->RecordCount() == 0) return QStringLiteral("<none>");
    return rs->value(name).displayText();
}

int RecordWindowTest::recordCount(int dbID) {
    return shell::mainModule()
        .database->OpenRecordset(QStringLiteral("select * from データ where dbID=%1").arg(dbID))
        ->RecordCount();
}

void typeInto(richtext::RichTextBox* box, const QString& text) {
    box->setFocus();
    for (QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClicks(box, QString(c));
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(QString(c));
            QApplication::sendEvent(box, &commit);
        }
    }
}
