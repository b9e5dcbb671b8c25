#pragma once

#include <QString>

// RTF for a generated record's text, with some formatting that varies by field and record.
QString sampleRecordRtf(const QString& text, int field, int record);
