#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "common/TempDatabase.h"
#include "platform/dao/Database.h"

// A fresh copy of the supplied database, opened the way the program opens it, with helpers
// that add sets and records through plain INSERT statements.
class DaoTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void addSet(int dbID, const QString& name);
    // ID, dbID, item 1..3, asked/right counts, rate (or Null when rate < 0), date "yyyy/m/d"
    void addRecord(int id, int dbID, const QString& item1, const QString& item2 = {},
                   const QString& item3 = {}, int right = 0, int asked = 0, double rate = 0,
                   const QString& date = "2024/1/1", const QString& time = "12:00:00",
                   const QString& comment = {}, const QString& source = {});
    std::unique_ptr<dao::Recordset> open(const QString& sql) {
        return db->OpenRecordset(sql, dao::dbOpenDynaset);
    }
    // Every value of one column, top to bottom, as display texts.
    QStringList column(const QString& sql, const QString& field);

    testing_support::TempDatabase file;
    std::unique_ptr<dao::Database> db;
};

#define EXPECT_DAO_ERROR(statement, errorNumber)                                   \
    do {                                                                           \
        try {                                                                      \
            statement;                                                             \
            ADD_FAILURE() << "expected Jet error " << (errorNumber);               \
        } catch (const dao::DaoError& e) {                                         \
            EXPECT_EQ(e.number(), (errorNumber)) << e.description().toStdString(); \
        }                                                                          \
    } while (0)
