#pragma once

#include <QString>
#include <QStringView>

#include <cstddef>

// Windows code pages as RTF uses them, through ICU. Internal to the RTF codec.
namespace richtext::detail {

// The code page that \fcharsetN stands for; 1 (default) and unknown charsets take the
// document's \ansicpg.
int codepageForCharset(int charset, int documentCodepage);

// Appends the text of bytes in a Windows code page; bytes that do not decode become U+FFFD.
void decodeBytes(int codepage, const char* data, std::size_t size, QString& out);

// The same through the converter alone, for every byte: decodeBytes() takes ASCII, and cp932
// characters its table holds, without it.
void decodeWithConverter(int codepage, const char* data, std::size_t size, QString& out);

// The cp932 bytes of one BMP character, only when they read back as that same character.
// Returns 0 (no bytes), 1 or 2.
int cp932Encode(char16_t c, unsigned char out[2]);

// True when every character of the text has cp932 bytes.
bool cp932Holds(QStringView text);

}  // namespace richtext::detail
