#pragma once

#include <QByteArray>
#include <QString>

#include "platform/richtext/RichText.h"

namespace richtext {

// RTF as RichEdit on a Japanese system writes it: {\rtf1\ansi\ansicpg932..., a font table
// (Japanese faces with \fcharset128 and their names in cp932), a colour table when a run has
// a colour, cp932 bytes for what cp932 holds in a Japanese face and \uN? for the rest (two
// surrogates outside the BMP). The result is 7-bit ASCII and reads back through readRtf()
// with identical text and runs. An empty face is written as defaultFace().
QByteArray writeRtf(const Document& doc);

// The same as a string (the database keeps RTF as text).
QString writeRtfString(const Document& doc);

// True for faces that hold Japanese: those written with \fcharset128.
bool isJapaneseFace(const QString& face);

}  // namespace richtext
