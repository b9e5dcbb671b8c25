#include <sqlite3.h>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include "kenvora-tool/Commands.h"
#include "kenvora-tool/Generator.h"
#include "platform/dao/DaoError.h"
#include "platform/dao/Database.h"
#include "shell/DataStoreConstants.h"

namespace {

QTextStream& err() {
    static QTextStream stream(stderr);
    return stream;
}

}  // namespace

int runMkdb(const QStringList& args) {
    if (args.size() != 1) {
        err() << "usage: kenvora-tool mkdb PATH\n";
        return 2;
    }
    const QString path = args[0];
    if (QFileInfo::exists(path)) {
        err() << path << " exists; not overwritten\n";
        return 1;
    }
    QFile schema(QStringLiteral(":/schema.sql"));
    if (!schema.open(QIODevice::ReadOnly)) {
        err() << "schema missing from the tool\n";
        return 1;
    }
    const QByteArray ddl = schema.readAll();
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(path.toUtf8().constData(), &db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    char* message = nullptr;
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, ("BEGIN;" + ddl + "COMMIT;").constData(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        err() << "cannot make " << path << ": " << (message ? message : sqlite3_errmsg(db)) << "\n";
        sqlite3_free(message);
        sqlite3_close_v2(db);
        QFile::remove(path);
        return 1;
    }
    sqlite3_close_v2(db);
    try {
        dao::SetDatabasePassword(path, QString::fromLatin1(shell::kDatabasePassword));
        // The supplied file comes with its (empty) word index.
        dao::OpenDatabase(path, false, false, QString::fromLatin1(shell::kConnectString))
            ->UpdateWordIndex(true);
    } catch (const dao::DaoError& e) {
        err() << e.number() << " " << e.description() << "\n";
        QFile::remove(path);
        return 1;
    }
    return 0;
}

int runSql(const QStringList& args) {
    if (args.size() != 2) {
        err() << "usage: kenvora-tool sql PATH \"STATEMENT\"\n";
        return 2;
    }
    QTextStream out(stdout);
    try {
        auto db =
            dao::OpenDatabase(args[0], false, false, QString::fromLatin1(shell::kConnectString));
        const QString statement = args[1].trimmed();
        if (!statement.startsWith(QLatin1String("SELECT"), Qt::CaseInsensitive)) {
            out << db->Execute(statement) << " record(s) affected\n";
            return 0;
        }
        auto rs = db->OpenRecordset(statement, dao::dbOpenDynaset);
        QStringList header;
        for (int i = 0; i < rs->FieldCount(); ++i) header << rs->Fields(i).Name();
        out << header.join(QLatin1Char('\t')) << "\n";
        while (!rs->AtEOF()) {
            QStringList row;
            for (int i = 0; i < rs->FieldCount(); ++i) {
                const dao::Variant v = rs->Fields(i).Value();
                row << (v.isNull() ? QStringLiteral("Null") : v.toString());
            }
            out << row.join(QLatin1Char('\t')) << "\n";
            rs->MoveNext();
        }
        return 0;
    } catch (const dao::DaoError& e) {
        out.flush();
        err() << e.number() << " " << e.description() << "\n";
        return 1;
    }
}

int runGen(const QStringList& args) {
    QString path;
    int sets = 0;
    int records = 0;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--sets") && i + 1 < args.size())
            sets = args[++i].toInt();
        else if (args[i] == QLatin1String("--records") && i + 1 < args.size())
            records = args[++i].toInt();
        else if (path.isEmpty())
            path = args[i];
    }
    if (path.isEmpty() || sets <= 0 || records < 0) {
        err() << "usage: kenvora-tool gen PATH --sets K --records N\n";
        return 2;
    }
    if (!QFileInfo::exists(path)) {
        const int rc = runMkdb({path});
        if (rc != 0) return rc;
    }
    QString error;
    if (!generateTestData(path, sets, records, &error)) {
        err() << error << "\n";
        return 1;
    }
    // Building the word index afresh is quicker than taking in every new record one by one.
    try {
        auto db = dao::OpenDatabase(path, false, false, QString::fromLatin1(shell::kConnectString));
        if (db->HasWordIndex()) db->UpdateWordIndex(true);
    } catch (const dao::DaoError& e) {
        err() << e.number() << " " << e.description() << "\n";
        return 1;
    }
    return 0;
}

int runIndex(const QStringList& args) {
    const QStringList options = {QStringLiteral("--rebuild"), QStringLiteral("--drop")};
    if (args.isEmpty() || args.size() > 2 || (args.size() == 2 && !options.contains(args[1]))) {
        err() << "usage: kenvora-tool index PATH [--rebuild | --drop]\n";
        return 2;
    }
    QTextStream out(stdout);
    try {
        auto db =
            dao::OpenDatabase(args[0], false, false, QString::fromLatin1(shell::kConnectString));
        if (args.value(1) == QLatin1String("--drop")) {
            db->DropWordIndex();
            out << "word index dropped\n";
            return 0;
        }
        const long long backlog = db->WordIndexBacklog();
        db->UpdateWordIndex(args.value(1) == QLatin1String("--rebuild"));
        out << "word index up to date (" << backlog << " record(s) taken in)\n";
        return 0;
    } catch (const dao::DaoError& e) {
        err() << e.number() << " " << e.description() << "\n";
        return 1;
    }
}
