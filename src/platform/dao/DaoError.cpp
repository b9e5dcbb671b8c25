#include "platform/dao/DaoError.h"

#include <unordered_map>

namespace dao {

namespace {

const std::unordered_map<int, const char*>& descriptions() {
    static const std::unordered_map<int, const char*> table = {
        {err::Overflow, "オーバーフローしました。"},
        {err::TypeMismatch, "型が一致しません。"},
        {err::InvalidUseOfNull, "Null の使い方が不正です。"},
        {err::Reserved, "予約済みエラー (%1) です。このエラーに関するメッセージはありません。"},
        {err::InvalidArgument, "引数が無効です。"},
        {err::UpdateWithoutEdit,
         "AddNew または Edit を実行せずに Update または CancelUpdate を実行しようとしました。"},
        {err::NoCurrentRecord, "カレント レコードがありません。"},
        {err::DuplicateKey,
         "インデックス、主キー、またはリレーションシップで重複する値が生成されるため、テーブルを"
         "変更できませんでした。"},
        {err::FileNotFound, "ファイル '%1' が見つかりません。"},
        {err::DiskFull, "ディスクの空き容量が不足しています。"},
        {err::ReadOnly, "データベースまたはオブジェクトは読み取り専用なので、更新できません。"},
        {err::WrongPassword, "パスワードが正しくありません。"},
        {err::NotInTransaction,
         "トランザクションを開始せずにコミットまたはロールバックしようとしました。"},
        {err::CannotOpenDatabase,
         "データベース '%1' を開けません。アプリケーションで認識できないデータベースであるか、"
         "またはファイルが破損しています。"},
        {err::CannotOpenFile,
         "ファイル '%1' を開けません。ほかのユーザーが排他的に開いているか、データを表示または"
         "書き込む権限がありません。"},
        {err::TooFewParameters, "パラメータが少なすぎます。%1 を指定してください。"},
        {err::CannotExecuteSelect, "選択クエリは実行できません。"},
        {err::SyntaxInExpression, "クエリ式 '%1' の構文エラー"},
        {err::SyntaxInCriteria, "式の構文エラー: %1"},
        {err::TableNotFound, "入力テーブルまたはクエリ '%1' が見つかりません。"},
        {err::AmbiguousField,
         "指定したフィールド '%1' は SQL ステートメントの FROM 句にある複数のテーブルを参照して"
         "います。"},
        {err::SyntaxInFrom, "FROM 句の構文エラーです。"},
        {err::InvalidSqlStatement,
         "SQL ステートメントが正しくありません。'DELETE'、'INSERT'、'PROCEDURE'、'SELECT'、"
         "または 'UPDATE' を使用してください。"},
        {err::SyntaxInSql, "SQL ステートメントの後に文字が見つかりました。"},
        {err::UndefinedFunction, "式に未定義関数 '%1' があります。"},
        {err::FieldTooSmall,
         "フィールドが小さすぎるため、追加しようとしたデータをすべて格納できません。少ない量の"
         "データを挿入または貼り付けてください。"},
        {err::FieldNotUpdatable, "フィールドを更新できません。"},
        {err::RecordDeleted, "レコードは削除されています。"},
        {err::DatabaseExists, "データベースは既に存在します。"},
        {err::InvalidOperation, "無効な操作です。"},
        {err::ItemNotFound, "この コレクション には項目がありません。"},
        {err::RequiredValue, "フィールド '%1' には値が必要です。"},
        {err::ObjectClosed, "オブジェクトが無効か、または既に設定されていません。"},
    };
    return table;
}

}  // namespace

DaoError::DaoError(int number, QString description)
    : std::runtime_error(description.toStdString()),
      number_(number),
      description_(std::move(description)) {}

QString errorDescription(int number, const QString& detail) {
    const auto& table = descriptions();
    const auto it = table.find(number);
    QString text = it != table.end() ? QString::fromUtf8(it->second)
                                     : QString::fromUtf8(table.at(err::Reserved));
    if (it == table.end() && detail.isEmpty()) return text.arg(number);
    return text.contains(QLatin1String("%1")) ? text.arg(detail) : text;
}

void raise(int number, const QString& detail) {
    throw DaoError(number, errorDescription(number, detail));
}

}  // namespace dao
