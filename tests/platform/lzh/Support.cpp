#include "Support.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <stdexcept>

namespace lzh_test {

namespace {

struct SplitMix {
    std::uint64_t s;
    std::uint64_t next() {
        std::uint64_t z = (s += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
};

}  // namespace

QByteArray sha256(const QByteArray& data) {
    return QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex();
}

QByteArray fileSha256(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&f);
    return hash.result().toHex();
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) throw std::runtime_error("cannot read " + path.toStdString());
    return f.readAll();
}

void writeFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

QByteArray randomBytes(std::uint64_t seed, int size) {
    SplitMix rng{seed};
    QByteArray out(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i) out[i] = char(rng.next() >> 56);
    return out;
}

QByteArray databaseLike(std::uint64_t seed, qint64 size) {
    static const char* const words[] = {"りんご",   "林檎", "apple",        "単語",
                                        "意味",     "読み", "問題集",       "正解回数",
                                        "出題回数", "東京", "バックアップ", "テスト"};
    SplitMix rng{seed};
    QByteArray out;
    out.reserve(size + 4096);
    out += QByteArray("\0\1\0\0Standard Jet DB\0", 20);
    while (out.size() < size) {
        const int kind = int(rng.next() % 4);
        QByteArray page;
        if (kind == 0) {
            page = QByteArray(4096, '\0');
        } else if (kind == 1) {
            while (page.size() < 4096) {
                page += QByteArray::number(qulonglong(rng.next() % 100000)) + '\t';
                for (int k = 0; k < 3; ++k) page += QByteArray(words[rng.next() % 12]) + '\t';
                page += QByteArray::number(qulonglong(rng.next() % 100)) + "\t2024/01/15\n";
            }
        } else if (kind == 2) {
            page = randomBytes(rng.next(), 4096);
        } else {
            page = randomBytes(rng.next(), 2048);
            while (page.size() < 4096) page += QByteArray("\2\0\x10\x20\xff\xff\0\0", 8);
        }
        out += page.left(4096);
    }
    out.truncate(size);
    return out;
}

QByteArray repetitive(int size) {
    const QByteArray line = "このファイルはとても圧縮しやすい。The same line again. 0123456789\n";
    QByteArray out;
    for (int n = 0; out.size() < size; ++n)
        out += (n % 64 == 0) ? QByteArray(4096, '\0') + line : line;
    out.truncate(size);
    return out;
}

ProcessResult run(const QString& program, const QStringList& args, const QString& folder) {
    QProcess p;
    if (!folder.isEmpty()) p.setWorkingDirectory(folder);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    ProcessResult r;
    if (!p.waitForStarted(10000)) return r;
    p.closeWriteChannel();
    p.waitForFinished(120000);
    r.output = QString::fromLocal8Bit(p.readAll());
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return r;
}

}  // namespace lzh_test
