#include "maintenance/Unlha.h"

#include <cerrno>
#include <cstring>

#include "platform/lzh/Command.h"
#include "platform/ui/MessageBox.h"

namespace {

struct ErrorMessage {
    int code;
    const char* text;
};

// Texts as the archiver library words them; 0x8007-0x800B, 0x8011 and 0x8015 have none.
constexpr ErrorMessage kMessages[] = {
    {0x8005, "ディスクの空きが足りません｡"},
    {0x8006, "展開先のファイルはリードオンリーです｡"},
    {0x800C, "格納ファイルのチェックサムが合っていません｡"},
    {0x800D, "ファイルを開けませんでした｡"},
    {0x800E, "より新しいファイルが展開先に存在しています｡"},
    {0x800F, "ファイルは展開先に存在していません｡"},
    {0x8010, "ファイルは既に存在しています｡"},
    {0x8012, "ディレクトリが作成できません｡"},
    {0x8013, "書き込みエラーが生じました｡"},
    {0x8014, "格納ファイルのハフマンコードが壊れています｡"},
    {0x8016, "書庫のヘッダのチェックサムが合っていません｡"},
    {0x8017, "書庫のヘッダが壊れています｡"},
    {0x8018, "書庫を開く事が出来ません｡"},
    {0x8019, "書庫のファイル名が指定されていません｡"},
    {0x801A, "ファイルの読み込み時にエラーが生じました｡"},
    {0x801B, "指定されたファイルは有効な LZH 書庫ではありません。"},
    {0x801C, "コマンド指定が間違っています｡"},
    {0x801D, "作業用のためのヒープメモリが不足しています｡"},
    {0x801E, "グローバルメモリが不足しています｡"},
    {0x801F, "既に UNLHA32.DLL が動作中です。"},
    {0x8020, "ユーザーによって処理を中断されました｡"},
    {0x8021,
     "UnlhaOpenArchive()  で書庫とハンドルを関連付ける前に UnlhaFindFirst() 等の API "
     "が使用されました。"},
    {0x8022,
     "UnlhaFindFirst() を使用する前に UnlhaFindNext() が呼ばれた。 または，これらを呼び出す前に  "
     "UnlhaGet-FileName() 等の API が呼ばれました。"},
    {0x8023, "UNLHA32.DLL  でサポートされていない API が使用されました｡"},
    {0x8024, "日付及び時間の指定形式が間違っています｡"},
    {0x8025, "'作業ファイルが作成できません｡"},
    {0x8026, "ディレクトリのパスが長すぎます｡"},
    {0x8027, "読み込み専用属性の書庫に対する操作はできません｡"},
    {0x8028, "すでに同じ名前のファイルが書庫に格納されています｡"},
    {0x8029, "指定されたディレクトリには書庫がありませんでした｡"},
    {0x802A, "レスポンスファイルの読み込み時にエラーが生じました｡"},
    {0x802B, "ファイル名の指定が必要です｡"},
    {0x802C, "作業ファイルの書庫への書き戻しができませんでした｡"},
    {0x802D, "書庫のデータが欠落しています｡"},
    {0x802E, "この SFX への書庫操作は行えません。"},
    {0x802F, "作業ファイルの書き戻しに必要なディスクの空きがありません｡"},
    {0x8030, "ファイルへのアクセスが許可されていません｡"},
    {0x8031, "ファイルが見つかりません｡"},
    {0x8032, "ログファイルのエラーです｡"},
    {0x8033, "デバイスが見つかりません｡"},
    {0x8034, "ファイル属性が取得できません｡"},
    {0x8035, "ファイル属性の設定ができません｡"},
    {0x8036, "ファイル情報が取得できません｡"},
    {0x8037, "ファイルポインタが取得できません｡"},
    {0x8038, "ファイルポインタの設定ができません｡"},
    {0x8039, "タイムスタンプの変換ができません｡"},
    {0x803A, "タイムスタンプの取得ができません｡"},
    {0x803B, "タイムスタンプの設定ができません｡"},
    {0x803C, "ファイルを閉じることができませんでした｡"},
    {0x803D, "ヒープメモリが壊れています｡"},
    {0x803E, "無効なハンドルです｡"},
    {0x803F, "無効なタイムスタンプです｡"},
};

}  // namespace

int UnlhaCommand(QWidget*, const QString& commandLine) {
    return lzh::runCommand(commandLine) & 0xFFFF;
}

bool UnlhaIsRunning() {
    return lzh::isRunning();
}

bool UnlhaIsArchive(const QString& path) {
    QString p = path.trimmed();
    if (p.size() >= 2 && p.startsWith(QLatin1Char('"')) && p.endsWith(QLatin1Char('"')))
        p = p.mid(1, p.size() - 2);
    return lzh::checkArchive(p);
}

bool UnlhaIsPresent() {
    return true;
}

QString UnlhaErrorText(int code) {
    code &= 0xFFFF;
    for (const ErrorMessage& m : kMessages)
        if (m.code == code) return QString::fromUtf8(m.text);
    return {};
}

void UnlhaErrorMessage(int code) {
    const QString text = UnlhaErrorText(code);
    if (text.isEmpty()) return;
    ui::MsgBox(QStringLiteral("バックアップ失敗") + QLatin1Char('\n') + text, ui::Buttons::OKOnly,
               QStringLiteral("バックアップ"));
}

namespace {

// The errors a user meets with backup files, in the words of the rest of the program; the
// system's English text stays the fallback for the others.
constexpr ErrorMessage kSystemMessages[] = {
    {EPERM, "この操作は許可されていません。"},
    {ENOENT, "ファイルまたはディレクトリが見つかりません。"},
    {EIO, "入出力エラーが発生しました。"},
    {ENXIO, "デバイスが見つかりません。"},
    {EBADF, "ファイルが正しく開かれていません。"},
    {ENOMEM, "メモリが不足しています。"},
    {EACCES, "アクセスが拒否されました。"},
    {EBUSY, "デバイスまたはファイルが使用中です。"},
    {EEXIST, "ファイルが既に存在します。"},
    {EXDEV, "別のデバイスへは移動できません。"},
    {ENODEV, "デバイスが見つかりません。"},
    {ENOTDIR, "ディレクトリではありません。"},
    {EISDIR, "ディレクトリです。"},
    {EINVAL, "引数が正しくありません。"},
    {ENFILE, "開いているファイルが多すぎます。"},
    {EMFILE, "開いているファイルが多すぎます。"},
    {ETXTBSY, "ファイルが使用中です。"},
    {EFBIG, "ファイルが大きすぎます。"},
    {ENOSPC, "ディスクの空き容量が足りません。"},
    {EROFS, "読み込み専用のファイルシステムです。"},
    {EMLINK, "リンクが多すぎます。"},
    {ENAMETOOLONG, "ファイル名が長すぎます。"},
    {ENOTEMPTY, "ディレクトリが空ではありません。"},
    {ELOOP, "シンボリックリンクの階層が多すぎます。"},
    {EDQUOT, "ディスク使用量の制限を超えました。"},
    {ESTALE, "ネットワーク上のファイルが見つからなくなりました。"},
    {ETIMEDOUT, "接続がタイムアウトしました。"},
    {EAGAIN, "一時的に利用できません。もう一度お試しください。"},
    {EINTR, "処理が中断されました。"},
};

}  // namespace

QString SystemErrorText(int errorCode) {
    for (const ErrorMessage& m : kSystemMessages)
        if (m.code == errorCode) return QString::fromUtf8(m.text);
    // strerror words unknown codes as "Unknown error N"; the system has no text for them.
    if (!strerrordesc_np(errorCode)) return {};
    char buffer[256];
    return QString::fromLocal8Bit(strerror_r(errorCode, buffer, sizeof buffer));
}

QString SystemDirectory() {
    return QStringLiteral("/usr/lib");
}
