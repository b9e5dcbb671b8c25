#pragma once

#include <QString>

// Fills a database with realistic question sets and records for tests and benchmarks.
// Adds `sets` new sets and spreads `records` records over them; deterministic.
bool generateTestData(const QString& path, int sets, int records, QString* error);
