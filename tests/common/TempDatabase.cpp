#include "common/TempDatabase.h"

#include <QFile>
#include <stdexcept>

namespace testing_support {

QString templateDatabasePath() {
    // The build's own template unless the environment names another, so a test binary
    // also runs bare.
    return qEnvironmentVariable("KENVORA_TEMPLATE_DB", QStringLiteral(KENVORA_TEMPLATE_DB_DEFAULT));
}

QString corpusPath(const QString& relative) {
    return QStringLiteral(KENVORA_CORPUS_DIR "/") + relative;
}

TempDatabase::TempDatabase() {
    if (!dir_.isValid()) throw std::runtime_error("cannot create a temporary folder");
    if (!QFile::copy(templateDatabasePath(), path()))
        throw std::runtime_error("cannot copy the template database");
    QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner);
}

QString TempDatabase::path() const {
    return dir_.path() + QStringLiteral("/Kenvora.mdb");
}

}  // namespace testing_support
