// Feeds arbitrary bytes to the RTF reader, as bytes and as a string, and checks that what it
// reads survives our writer unchanged.
#include <cstdint>
#include <cstdlib>

#include "platform/richtext/RtfReader.h"
#include "platform/richtext/RtfWriter.h"

using namespace richtext;

namespace {

// The writer spells an empty face as the default face; runs that become equal merge.
Document normalized(const Document& doc) {
    Document out;
    for (const Paragraph& p : doc.paragraphs) {
        Paragraph q;
        Format mark;
        for (Run r : p.runs) {
            if (r.format.font.isEmpty()) r.format.font = defaultFace();
            appendText(q, r.text, r.format);
            mark = r.format;
        }
        finishParagraph(q, mark);
        out.paragraphs.push_back(std::move(q));
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const Document doc = normalized(readRtf(bytes));
    (void)doc.plainText();
    const Document back = normalized(readRtf(QByteArrayView(writeRtf(doc))));
    if (!(back == doc)) std::abort();
    // The same bytes as a string, as the database hands RTF over.
    (void)readRtf(QStringView(QString::fromLatin1(bytes)));
    return 0;
}
