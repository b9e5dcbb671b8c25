#pragma once

#include <QString>
#include <QTemporaryDir>

#include "common/QtPrinting.h"

namespace testing_support {

// A fresh copy of the supplied Kenvora.mdb in its own temporary folder; removed with the
// object. No test shares a file with another.
class TempDatabase {
public:
    TempDatabase();
    QString folder() const { return dir_.path(); }
    QString path() const;  // folder + "/Kenvora.mdb"

private:
    QTemporaryDir dir_;
};

// The template made by the build (kenvora-tool mkdb).
QString templateDatabasePath();
// ../shared/corpus
QString corpusPath(const QString& relative);

}  // namespace testing_support
