#include "records/DelimiterList.h"

namespace records {

QString NormalizeDelimiterList(const QString& text) {
    QStringList kept;
    bool markerSeen = false;
    for (const QString& piece : text.split(QLatin1Char(','))) {
        if (piece == kNoSplitMarker) {
            if (markerSeen) continue;
            markerSeen = true;
        }
        kept << piece;
    }
    return kept.join(QLatin1Char(','));
}

DelimiterEntries delimiterEntries(const QString& list) {
    DelimiterEntries result;
    // A list holding only the comma is stored empty and reads back as no entries.
    if (list.isEmpty()) return result;
    const QStringList pieces = list.split(QLatin1Char(','));
    for (int i = 0; i < pieces.size(); ++i) {
        if (pieces[i].isEmpty()) {
            result.entries << kCommaEntry;
        } else if (pieces[i] == kNoSplitMarker) {
            result.entries << kNoSplitEntry;
            result.markerPosition = i;
        } else {
            result.entries << pieces[i];
        }
    }
    return result;
}

QString storedDelimiterList(const QStringList& entries, int* markerPosition) {
    QStringList pieces;
    *markerPosition = -1;
    for (int j = 0; j < entries.size(); ++j) {
        if (entries[j] == kCommaEntry) {
            pieces << QString();
        } else if (entries[j] == kNoSplitEntry) {
            pieces << kNoSplitMarker;
            *markerPosition = j;
        } else {
            pieces << entries[j];
        }
    }
    return pieces.join(QLatin1Char(','));
}

DelimiterEntries moveDelimiterToTop(const QStringList& entries, int index, QString* storedList) {
    DelimiterEntries result;
    result.entries = entries;
    if (index > 0 && index < entries.size()) result.entries.move(index, 0);
    *storedList = storedDelimiterList(result.entries, &result.markerPosition);
    return result;
}

QString delimiterHelpText() {
    return QStringLiteral(
        "カンマ（　，）で区切ってください。\n"
        "（例）とは，つまり，（，：，＾＠\n"
        "\n"
        "カンマを区切り文字にする場合は下記のようにしてください。\n"
        "（例１：途中に入れる場合）\n"
        "　区切り文字１，，区切り文字２\n"
        "（例２：最初に入れる場合）\n"
        "　，区切り文字１\n"
        "（例３：最後に入れる場合）\n"
        "　区切り文字１，\n"
        "区切り文字を使用しない項目は　＾＠を入力してください。\n"
        "＾＠はひとつの区切り文字中ひとつだけ指定できます。");
}

}  // namespace records
