#pragma once

#include <QString>

#include <stdexcept>

namespace dao {

// Error numbers of the Jet engine and the Basic runtime that the layer raises.
namespace err {
constexpr int Overflow = 6;
constexpr int TypeMismatch = 13;
constexpr int InvalidUseOfNull = 94;
constexpr int Reserved = 3000;
constexpr int InvalidArgument = 3001;
constexpr int UpdateWithoutEdit = 3020;
constexpr int NoCurrentRecord = 3021;
constexpr int DuplicateKey = 3022;
constexpr int FileNotFound = 3024;
constexpr int DiskFull = 3026;
constexpr int ReadOnly = 3027;
constexpr int WrongPassword = 3031;
constexpr int NotInTransaction = 3034;
constexpr int CannotOpenDatabase = 3049;
constexpr int CannotOpenFile = 3051;
constexpr int TooFewParameters = 3061;
constexpr int CannotExecuteSelect = 3065;
constexpr int SyntaxInExpression = 3075;
constexpr int SyntaxInCriteria = 3077;
constexpr int TableNotFound = 3078;
constexpr int AmbiguousField = 3079;
constexpr int SyntaxInFrom = 3131;
constexpr int FieldTooSmall = 3163;
constexpr int FieldNotUpdatable = 3164;
constexpr int RecordDeleted = 3167;
constexpr int DatabaseExists = 3204;
constexpr int InvalidOperation = 3219;
constexpr int ItemNotFound = 3265;
constexpr int RequiredValue = 3314;
constexpr int ObjectClosed = 3420;
constexpr int SyntaxInSql = 3142;
constexpr int UndefinedFunction = 3085;
constexpr int InvalidSqlStatement = 3129;
}  // namespace err

// A data access error: Jet's number and its Japanese description, as the handlers show it.
class DaoError : public std::runtime_error {
public:
    DaoError(int number, QString description);
    int number() const { return number_; }
    const QString& description() const { return description_; }

private:
    int number_;
    QString description_;
};

// The standard description of an error number; "%1" in it is replaced by detail.
QString errorDescription(int number, const QString& detail = {});

[[noreturn]] void raise(int number, const QString& detail = {});

}  // namespace dao
