#include "SampleDatabase.h"

#include <sqlite3.h>

#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
#include <array>
#include <cstdint>

namespace {

struct Word {
    const char* word;
    const char* reading;
    const char* meaning;
};

constexpr Word kWords[] = {
    {"林檎", "りんご", "バラ科の落葉高木。また、その果実。秋に赤や黄色に熟す。"},
    {"蜜柑", "みかん", "ミカン科の常緑低木。冬に橙色の実をつけ、甘酸っぱい。"},
    {"東京", "とうきょう", "日本の首都。関東地方の南部にある都。"},
    {"図書館", "としょかん", "書籍や記録を集めて保管し、利用に供する施設。"},
    {"経済", "けいざい", "財やサービスの生産・分配・消費の活動。"},
    {"憲法", "けんぽう", "国家の統治の基本を定めた根本法。"},
    {"光合成", "こうごうせい", "植物が光のエネルギーで二酸化炭素と水から糖を作る働き。"},
    {"微分", "びぶん", "関数の瞬間的な変化の割合を求めること。"},
    {"積分", "せきぶん", "微分の逆の演算。面積や体積を求めるのに用いる。"},
    {"鎌倉幕府", "かまくらばくふ", "源頼朝が鎌倉に開いた武家政権。一一八五年頃成立。"},
    {"徒然草", "つれづれぐさ", "吉田兼好の随筆。鎌倉時代末期の成立。"},
    {"枕草子", "まくらのそうし", "清少納言の随筆。平安時代中期の成立。"},
    {"源氏物語", "げんじものがたり", "紫式部の長編物語。光源氏の生涯を描く。"},
    {"元素", "げんそ", "化学的方法でそれ以上分解できない物質の基本的な成分。"},
    {"酸化", "さんか", "物質が酸素と化合すること。また電子を失うこと。"},
    {"還元", "かんげん", "酸化物から酸素を取り去ること。また電子を得ること。"},
    {"慣性", "かんせい", "物体が外から力を受けない限り運動状態を保とうとする性質。"},
    {"摩擦", "まさつ", "接触する二つの物体の間で運動を妨げる力。"},
    {"需要", "じゅよう", "商品を買おうとする欲求。またその量。"},
    {"供給", "きょうきゅう", "商品を市場に出すこと。またその量。"},
    {"民主主義", "みんしゅしゅぎ", "国民が主権を持ち、自らの意思で政治を行う考え方。"},
    {"三権分立", "さんけんぶんりつ", "立法・行政・司法の三つの権力を分ける仕組み。"},
    {"遺伝子", "いでんし", "生物の形質を決め、親から子へ伝わる因子。"},
    {"細胞", "さいぼう", "生物体を構成する基本的な単位。"},
    {"地震", "じしん", "地下の岩盤が急にずれて起こる大地の揺れ。"},
    {"台風", "たいふう", "北太平洋西部で発生する強い熱帯低気圧。"},
    {"俳句", "はいく", "五・七・五の十七音からなる定型詩。季語を含む。"},
    {"短歌", "たんか", "五・七・五・七・七の三十一音からなる和歌。"},
    {"明治維新", "めいじいしん", "江戸幕府が倒れ、明治政府が成立した一連の改革。"},
    {"関ヶ原の戦い", "せきがはらのたたかい", "一六〇〇年、徳川家康が石田三成らを破った戦い。"},
    {"apple", "アップル", "りんご。Malus domestica の果実。"},
    {"abandon", "アバンダン", "見捨てる、放棄する、断念する。"},
    {"ability", "アビリティ", "能力、才能、手腕。"},
    {"accurate", "アキュレット", "正確な、精密な。"},
    {"achieve", "アチーブ", "成し遂げる、達成する。"},
    {"acquire", "アクワイア", "習得する、獲得する。"},
    {"adequate", "アデクワット", "十分な、適切な。"},
    {"benefit", "ベネフィット", "利益、恩恵。利益を得る。"},
    {"consequence", "コンシクエンス", "結果、成り行き、重要性。"},
    {"determine", "ディターミン", "決定する、決心する、測定する。"},
    {"environment", "インバイロンメント", "環境、周囲の状況。"},
    {"phenomenon", "フェノメノン", "現象、事象。複数形は phenomena。"},
    {"hypothesis", "ハイポセシス", "仮説、仮定。"},
    {"significant", "シグニフィカント", "重要な、意味のある、著しい。"},
    {"一期一会", "いちごいちえ", "一生に一度だけの機会。茶道に由来する言葉。"},
    {"温故知新", "おんこちしん", "古いことを学び、新しい知識や見解を得ること。"},
    {"臥薪嘗胆", "がしんしょうたん", "目的を果たすために長い間苦労を重ねること。"},
    {"呉越同舟", "ごえつどうしゅう", "仲の悪い者同士が同じ場所に居合わせること。"},
    {"塞翁が馬", "さいおうがうま", "人生の幸不幸は予測できないということ。"},
    {"五里霧中", "ごりむちゅう", "手がかりがなく、どうしてよいか分からないこと。"},
};

constexpr const char* kSources[] = {
    "広辞苑 第七版",
    "大学入試 頻出英単語集 改訂版",
    "日本史用語集 山川出版社",
    "高校化学の教科書 p.124",
    "NHK ニュース 2023年11月",
    "自作メモ",
    "英単語ターゲット1900 6訂版",
    "四字熟語辞典",
};

constexpr const char* kComments[] = {
    "試験によく出る。",
    "読み間違えやすいので注意。",
    "前回間違えた。",
    "例文とあわせて覚える。",
    "関連語も確認すること。",
    "",
    "",
    "第3章の復習。",
    "類義語との違いに注意。",
};

// splitmix64: the same data on every run.
struct Random {
    std::uint64_t state;
    std::uint64_t next() {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
};

// Rich text as the Windows rich edit control writes it: cp932 bytes as \'xx escapes.
QByteArray richText(const QString& text, bool bold, int size) {
    QStringEncoder encode("windows-31j");
    const QByteArray bytes = encode(text);
    QByteArray body;
    for (unsigned char c : bytes) {
        if (c >= 0x80) {
            body += "\\'" + QByteArray::number(c, 16).rightJustified(2, '0');
        } else if (c == '\\' || c == '{' || c == '}') {
            body += '\\';
            body += char(c);
        } else {
            body += char(c);
        }
    }
    return "{\\rtf1\\ansi\\ansicpg932\\deff0\\deflang1033\\deflangfe1041{\\fonttbl{"
           "\\f0\\fnil\\fcharset128 "
           "\\'82\\'6c\\'82\\'72 \\'82\\'6f\\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}}\r\n"
           "{\\colortbl ;\\red0\\green0\\blue0;}\r\n\\viewkind4\\uc1\\pard\\cf1\\lang1041" +
           QByteArray(bold ? "\\b" : "") + "\\f0\\fs" + QByteArray::number(size * 2) + " " + body +
           (bold ? "\\b0" : "") + "\\par\r\n}\r\n";
}

bool exec(sqlite3* db, const char* sql, QString* error) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) == SQLITE_OK) return true;
    if (error) *error = QString::fromUtf8(message ? message : "sqlite error");
    sqlite3_free(message);
    return false;
}

}  // namespace

bool makeSampleDatabase(const QString& path, const QString& schemaPath, qint64 targetBytes,
                        QString* error) {
    QFile::remove(path);
    QFile schema(schemaPath);
    if (!schema.open(QIODevice::ReadOnly)) {
        if (error) *error = QStringLiteral("cannot read ") + schemaPath;
        return false;
    }
    const QByteArray schemaSql = schema.readAll();

    sqlite3* db = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) != SQLITE_OK) {
        if (error) *error = QStringLiteral("cannot create ") + path;
        sqlite3_close(db);
        return false;
    }
    bool ok = exec(db, schemaSql.constData(), error) && exec(db, "BEGIN", error);
    sqlite3_stmt* insert = nullptr;
    ok = ok &&
         sqlite3_prepare_v2(db, "INSERT INTO \"データ\" VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                            -1, &insert, nullptr) == SQLITE_OK;

    Random random{20240115};
    constexpr int kWordCount = sizeof kWords / sizeof kWords[0];
    constexpr int kSets = 12;
    constexpr int kBatch = 2000;
    for (int id = 1; ok; ++id) {
        const Word& w = kWords[random.below(kWordCount)];
        const Word& w2 = kWords[random.below(kWordCount)];
        const QString item1 = QString::fromUtf8(w.word);
        const QString item2 = QString::fromUtf8(w.reading);
        QString item3 = QString::fromUtf8(w.meaning);
        if (random.below(3) == 0)
            item3 += QStringLiteral("（参考：") + QString::fromUtf8(w2.word) + QStringLiteral("）");
        const QString comment = QString::fromUtf8(kComments[random.below(9)]);
        const QString source = QString::fromUtf8(kSources[random.below(8)]);
        const int asked = random.below(40);
        const int right = asked ? random.below(asked + 1) : 0;
        const QByteArray date = QStringLiteral("%1-%2-%3")
                                    .arg(2015 + random.below(10))
                                    .arg(1 + random.below(12), 2, 10, QLatin1Char('0'))
                                    .arg(1 + random.below(28), 2, 10, QLatin1Char('0'))
                                    .toUtf8();
        const QByteArray time = QStringLiteral("%1:%2:%3")
                                    .arg(random.below(24), 2, 10, QLatin1Char('0'))
                                    .arg(random.below(60), 2, 10, QLatin1Char('0'))
                                    .arg(random.below(60), 2, 10, QLatin1Char('0'))
                                    .toUtf8();
        const std::array<QByteArray, 10> texts = {item1.toUtf8(),
                                                  item2.toUtf8(),
                                                  item3.toUtf8(),
                                                  comment.toUtf8(),
                                                  source.toUtf8(),
                                                  richText(item1, true, 14),
                                                  richText(item2, false, 12),
                                                  richText(item3, false, 10),
                                                  richText(comment, false, 9),
                                                  richText(source, false, 9)};

        sqlite3_reset(insert);
        sqlite3_bind_int(insert, 1, id);
        sqlite3_bind_int(insert, 2, 1 + random.below(kSets));
        for (int i = 0; i < 10; ++i)
            sqlite3_bind_text(insert, 3 + i, texts[i].constData(),
                              static_cast<int>(texts[i].size()), SQLITE_TRANSIENT);
        sqlite3_bind_int(insert, 13, right);
        sqlite3_bind_int(insert, 14, asked);
        sqlite3_bind_double(insert, 15, asked ? 100.0 * right / asked : 0.0);
        sqlite3_bind_text(insert, 16, date.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 17, time.constData(), -1, SQLITE_TRANSIENT);
        ok = sqlite3_step(insert) == SQLITE_DONE;
        if (ok && id % kBatch == 0) {
            ok = exec(db, "COMMIT", error) && exec(db, "BEGIN", error);
            if (QFileInfo(path).size() >= targetBytes) break;
        }
    }
    sqlite3_finalize(insert);
    ok = ok && exec(db, "COMMIT", error);
    sqlite3_close(db);
    return ok;
}
