#include "kenvora-tool/Generator.h"

#include <sqlite3.h>
#include <QDate>
#include <QRandomGenerator>
#include <QTime>

#include <array>

#include "sample/Sample.h"

namespace {

struct Word {
    const char* kanji;
    const char* reading;
    const char* meaning;
};

// A small vocabulary; records combine two words so that texts vary and searches for one
// word (犬, 猫, 学校 ...) find a realistic share of the records.
constexpr std::array<Word, 48> kWords = {{
    {"犬", "いぬ", "dog"},
    {"猫", "ねこ", "cat"},
    {"学校", "がっこう", "school"},
    {"先生", "せんせい", "teacher"},
    {"電車", "でんしゃ", "train"},
    {"時間", "じかん", "time"},
    {"天気", "てんき", "weather"},
    {"料理", "りょうり", "cooking"},
    {"音楽", "おんがく", "music"},
    {"映画", "えいが", "movie"},
    {"図書館", "としょかん", "library"},
    {"病院", "びょういん", "hospital"},
    {"会社", "かいしゃ", "company"},
    {"仕事", "しごと", "work"},
    {"旅行", "りょこう", "travel"},
    {"写真", "しゃしん", "photo"},
    {"手紙", "てがみ", "letter"},
    {"新聞", "しんぶん", "newspaper"},
    {"季節", "きせつ", "season"},
    {"約束", "やくそく", "promise"},
    {"経験", "けいけん", "experience"},
    {"練習", "れんしゅう", "practice"},
    {"説明", "せつめい", "explanation"},
    {"準備", "じゅんび", "preparation"},
    {"研究", "けんきゅう", "research"},
    {"歴史", "れきし", "history"},
    {"文化", "ぶんか", "culture"},
    {"自然", "しぜん", "nature"},
    {"社会", "しゃかい", "society"},
    {"政治", "せいじ", "politics"},
    {"経済", "けいざい", "economy"},
    {"科学", "かがく", "science"},
    {"技術", "ぎじゅつ", "technology"},
    {"言葉", "ことば", "word"},
    {"意味", "いみ", "meaning"},
    {"漢字", "かんじ", "kanji"},
    {"花", "はな", "flower"},
    {"山", "やま", "mountain"},
    {"川", "かわ", "river"},
    {"海", "うみ", "sea"},
    {"空", "そら", "sky"},
    {"雨", "あめ", "rain"},
    {"雪", "ゆき", "snow"},
    {"春", "はる", "spring"},
    {"夏", "なつ", "summer"},
    {"秋", "あき", "autumn"},
    {"冬", "ふゆ", "winter"},
    {"駅", "えき", "station"},
}};

constexpr std::array<const char*, 12> kSetNames = {
    "英単語",   "漢字検定２級", "日本史年号",         "世界の首都",
    "化学式",   "ことわざ",     "四字熟語",           "TOEIC頻出",
    "医学用語", "法律用語",     "プログラミング用語", "百人一首"};

constexpr std::array<const char*, 6> kComments = {
    "「%1」は日常会話でよく使う。", "%1の読み方に注意。", "試験に出やすい。%1と%2を区別すること。",
    "例文：%1を%2する。",           "%1 (%2) は重要語。", "間違えやすい：%1"};

constexpr std::array<const char*, 4> kSources = {"新明解国語辞典 第%1版 p.%2", "単語帳 No.%1-%2",
                                                 "NHK講座 %1月号 p.%2", "授業ノート %1/%2"};

class Inserter {
public:
    Inserter(sqlite3* db, const char* sql) : db_(db) {
        ok_ = sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) == SQLITE_OK;
    }
    ~Inserter() { sqlite3_finalize(stmt_); }
    bool ok() const { return ok_; }
    void text(int i, const QString& s) {
        const QByteArray u = s.toUtf8();
        sqlite3_bind_text(stmt_, i, u.constData(), static_cast<int>(u.size()), SQLITE_TRANSIENT);
    }
    void integer(int i, qint64 v) { sqlite3_bind_int64(stmt_, i, v); }
    void real(int i, double v) { sqlite3_bind_double(stmt_, i, v); }
    bool run() {
        const bool done = sqlite3_step(stmt_) == SQLITE_DONE;
        sqlite3_reset(stmt_);
        return done;
    }

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
    bool ok_ = false;
};

qint64 scalar(sqlite3* db, const char* sql) {
    sqlite3_stmt* s = nullptr;
    qint64 v = 0;
    if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW)
        v = sqlite3_column_int64(s, 0);
    sqlite3_finalize(s);
    return v;
}

// New set rows carry the same defaults as a set created in the program.
bool insertSet(sqlite3* db, int dbID, const QString& name) {
    QString sql = QStringLiteral("INSERT INTO データベース設定 VALUES (%1, 60").arg(dbID);
    for (int i = 0; i < 7; ++i) sql += QStringLiteral(", 16777215");  // 背景色
    for (int i = 0; i < 7; ++i) sql += QStringLiteral(", 0");         // 文字色
    for (int i = 0; i < 7; ++i) sql += QStringLiteral(", 10");        // サイズ
    sql += QStringLiteral(", 0, 0, 8415, 8250, 0, 12632256, ?, '、', '・', '単語', '読み', '意味'");
    for (int i = 0; i < 7; ++i) sql += QStringLiteral(", 'ＭＳ Ｐゴシック'");
    sql += QStringLiteral(", 'テスト用に生成した問題集', 0, 1, 1, 1, 1, 1");
    for (int i = 0; i < 28; ++i) sql += QStringLiteral(", 0");
    sql += QLatin1Char(')');
    Inserter ins(db, sql.toUtf8().constData());
    if (!ins.ok()) return false;
    ins.text(1, name);
    return ins.run();
}

}  // namespace

bool generateTestData(const QString& path, int sets, int records, QString* error) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) !=
        SQLITE_OK) {
        *error = QStringLiteral("cannot open ") + path;
        sqlite3_close_v2(db);
        return false;
    }
    QRandomGenerator random(20261208);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    bool ok = true;

    std::vector<int> ids;
    const int firstSet =
        static_cast<int>(scalar(db, "SELECT ifnull(max(dbID), 0) FROM データベース設定")) + 1;
    for (int k = 0; k < sets && ok; ++k) {
        const int dbID = firstSet + k;
        QString name = QString::fromUtf8(kSetNames[k % kSetNames.size()]);
        if (k >= static_cast<int>(kSetNames.size()))
            name += QStringLiteral(" %1").arg(k / kSetNames.size() + 1);
        ok = insertSet(db, dbID, name);
        ids.push_back(dbID);
    }

    Inserter ins(
        db,
        "INSERT INTO データ (ID, dbID, 項目1, 項目2, 項目3, コメント, 出展, 項目1RTF, 項目2RTF, "
        "項目3RTF, コメントRTF, 出展RTF, 正解回数, 出題回数, 正解率, 登録日, 登録時刻) VALUES "
        "(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17)");
    ok = ok && ins.ok();
    qint64 id = scalar(db, "SELECT ifnull(max(ID), 0) FROM データ");
    const QDate firstDay(2015, 1, 1);
    for (int r = 0; r < records && ok; ++r) {
        const Word& a = kWords[random.bounded(static_cast<int>(kWords.size()))];
        const Word& b = kWords[random.bounded(static_cast<int>(kWords.size()))];
        const QString item1 = QString::fromUtf8(a.kanji) + QString::fromUtf8(b.kanji);
        const QString item2 = QString::fromUtf8(a.reading) + QString::fromUtf8(b.reading);
        const QString item3 =
            QString::fromUtf8(a.meaning) + QStringLiteral(" / ") + QString::fromUtf8(b.meaning);
        const QString comment =
            QString::fromUtf8(kComments[random.bounded(static_cast<int>(kComments.size()))])
                .replace(QLatin1String("%1"), QString::fromUtf8(a.kanji))
                .replace(QLatin1String("%2"), QString::fromUtf8(b.kanji));
        const QString source =
            QString::fromUtf8(kSources[random.bounded(static_cast<int>(kSources.size()))])
                .replace(QLatin1String("%1"), QString::number(random.bounded(1, 13)))
                .replace(QLatin1String("%2"), QString::number(random.bounded(1, 400)));
        const int asked = random.bounded(100) < 20 ? 0 : random.bounded(1, 30);
        const int right = asked == 0 ? 0 : random.bounded(asked + 1);
        const float rate = asked == 0 ? 0.0f : static_cast<float>(right) / asked * 100.0f;
        const QDate day = firstDay.addDays(random.bounded(3650));
        const QTime time = QTime(0, 0).addSecs(random.bounded(86400));

        ins.integer(1, ++id);
        ins.integer(2, ids[r % ids.size()]);
        const std::array<QString, 5> texts = {item1, item2, item3, comment, source};
        for (int i = 0; i < 5; ++i) {
            ins.text(3 + i, texts[i]);
            ins.text(8 + i,
                     richtext::sampleRecordRtf(texts[i], static_cast<std::uint32_t>(r) * 5u + i));
        }
        ins.integer(13, right);
        ins.integer(14, asked);
        ins.real(15, rate);
        ins.text(16, day.toString(QStringLiteral("yyyy-MM-dd")));
        ins.text(17, time.toString(QStringLiteral("HH:mm:ss")));
        ok = ins.run();
    }
    if (!ok) *error = QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_exec(db, ok ? "COMMIT" : "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db);
    return ok;
}
