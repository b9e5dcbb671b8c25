#pragma once

#include <QString>

#include <cstdint>

namespace richtext {

// RTF for a record's text with a little formatting, as a user's records have it: the text in
// "ＭＳ Ｐゴシック" 10 pt with up to three spans made bold, italic, underlined, coloured or
// larger. The same text and seed give the same RTF. For test data (kenvora-tool gen).
QString sampleRecordRtf(const QString& text, std::uint32_t seed);

}  // namespace richtext
