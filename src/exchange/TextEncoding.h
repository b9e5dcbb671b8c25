#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <memory>
#include <optional>

class QIODevice;

// The encodings word lists arrive in: UTF-8 (with or without BOM), UTF-16 with BOM, and
// cp932 as spreadsheets on Japanese systems save it. Streaming, so a file of any size is read
// in bounded memory.
namespace exchange {

enum class Encoding { Utf8, Utf16LE, Utf16BE, Cp932 };

QString encodingName(Encoding encoding);

// What one pass over a file found.
struct Detection {
    bool binary = false;  // NUL bytes or many control characters: not a text file
    Encoding encoding = Encoding::Utf8;
    int bomLength = 0;       // bytes of the byte order mark at the start
    bool utf8Valid = true;   // every byte sequence is UTF-8
    bool cp932Valid = true;  // every byte sequence is cp932
    // Lines in UTF-8 and lines in something else in one file: the first line of the kind
    // that came second.
    std::optional<int> mixedLine;
};

// Reads the device from its current position to the end. UTF-16 needs its BOM; otherwise
// UTF-8 wins when valid, then cp932.
Detection detectEncoding(QIODevice& device);

// The 1-based line of the first byte sequence that is not valid in the encoding, or nothing
// when the whole device reads cleanly. Reads from the current position to the end.
std::optional<int> firstInvalidLine(QIODevice& device, Encoding encoding);

// Turns bytes into text piece by piece; a sequence split between pieces is kept for the next.
// Bytes that do not decode become U+FFFD (firstInvalidLine() finds them beforehand).
class TextDecoder {
public:
    explicit TextDecoder(Encoding encoding);
    ~TextDecoder();
    TextDecoder(const TextDecoder&) = delete;
    TextDecoder& operator=(const TextDecoder&) = delete;

    void decode(QByteArrayView bytes, QString& out);
    void finish(QString& out);

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Text to bytes. cp932 puts "?" for a character it has no bytes for and counts them.
class TextEncoder {
public:
    explicit TextEncoder(Encoding encoding);
    ~TextEncoder();
    TextEncoder(const TextEncoder&) = delete;
    TextEncoder& operator=(const TextEncoder&) = delete;

    QByteArray encode(QStringView text);
    QByteArray byteOrderMark() const;
    long long unmappable() const { return unmappable_; }

private:
    Encoding encoding_;
    struct Cp932;
    std::unique_ptr<Cp932> cp932_;
    long long unmappable_ = 0;
};

}  // namespace exchange
