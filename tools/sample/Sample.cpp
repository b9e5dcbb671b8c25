#include "sample/Sample.h"

#include <random>
#include <vector>

#include "platform/richtext/RtfJson.h"
#include "platform/richtext/RtfWriter.h"

namespace richtext {

QString sampleRecordRtf(const QString& text, std::uint32_t seed) {
    Format base;
    base.font = defaultFace();
    base.size = 10;
    std::vector<Format> formats(static_cast<std::size_t>(text.size()), base);
    std::mt19937 rng(seed);
    const int spans = text.isEmpty() ? 0 : static_cast<int>(rng() % 4);
    for (int s = 0; s < spans; ++s) {
        const auto length = static_cast<std::uint32_t>(text.size());
        std::uint32_t start = rng() % length;
        std::uint32_t end = start + 1 + rng() % std::min<std::uint32_t>(length - start, 8);
        // Keep surrogate pairs whole.
        if (start > 0 && text[start].isLowSurrogate()) --start;
        if (end < length && text[end].isLowSurrogate()) ++end;
        const std::uint32_t style = rng() % 7;
        for (std::uint32_t i = start; i < end; ++i) {
            Format& f = formats[i];
            switch (style) {
                case 0:
                    f.bold = true;
                    break;
                case 1:
                    f.italic = true;
                    break;
                case 2:
                    f.underline = true;
                    break;
                case 3:
                    f.color = 0xFF0000;
                    break;
                case 4:
                    f.color = 0x0000FF;
                    break;
                case 5:
                    f.size = 12;
                    break;
                default:
                    f.bold = true;
                    f.color = 0x008000;
                    break;
            }
        }
    }
    Document doc = documentFromFormattedText(text, formats);
    if (doc.paragraphs.empty()) doc.paragraphs.push_back(Paragraph{{Run{QString(), base}}});
    return writeRtfString(doc);
}

}  // namespace richtext
