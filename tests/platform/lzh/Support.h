#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace lzh_test {

QByteArray sha256(const QByteArray& data);
QByteArray fileSha256(const QString& path);
QByteArray readFile(const QString& path);
void writeFile(const QString& path, const QByteArray& data);

// Deterministic payloads.
QByteArray randomBytes(std::uint64_t seed, int size);
// Text, runs of zeros, random stretches and repeated records, like a database file.
QByteArray databaseLike(std::uint64_t seed, qint64 size);
// The same few lines over and over.
QByteArray repetitive(int size);

struct ProcessResult {
    int exitCode = -1;
    QString output;
};
ProcessResult run(const QString& program, const QStringList& args, const QString& folder = {});

}  // namespace lzh_test
