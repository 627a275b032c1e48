// Measures the store's hot paths on a real record base in a temporary
// directory, each against the unpooled way (a fresh keyed connection per
// operation, rows deleted one by one through a recordset) in the same run.
#include <sqlite3.h>

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "bench/must_succeed.h"
#include "store/database.h"

using namespace quenlo;

namespace {

double Milliseconds(const std::function<void()>& work) {
  QElapsedTimer timer;
  timer.start();
  work();
  return double(timer.nsecsElapsed()) / 1e6;
}

double Median(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  return samples[samples.size() / 2];
}

// The floor: the same 80 inserts on a bare keyed connection, each its own commit.
double BareInsertsMs(const QString& file) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(file.toLocal8Bit().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
  sqlite3_key(db, kDatabasePassword, 8);
  sqlite3_exec(db, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
  const double ms = Milliseconds([db] {
    for (int i = 0; i < 80; ++i) {
      sqlite3_stmt* insert = nullptr;
      sqlite3_prepare_v2(db, "INSERT INTO 地址表(AName) VALUES(?)", -1, &insert, nullptr);
      const std::string name = "bare" + std::to_string(i);
      sqlite3_bind_text(insert, 1, name.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_step(insert);
      sqlite3_finalize(insert);
    }
  });
  sqlite3_close(db);
  return ms;
}

// One search page: 40 member names, each into both tables.
void StorePage(int page, bool pooled) {
  for (int i = 0; i < 40; ++i) {
    const QString name = QStringLiteral("member%1x%2").arg(page).arg(i);
    for (const char* sql :
         {"INSERT INTO 地址表(AName) VALUES(?)", "INSERT INTO 介绍表(AName) VALUES(?)"}) {
      if (!pooled) DbReleaseSharedConnection();
      MustSucceed(DbExecute(QString::fromUtf8(sql), {name}));
    }
  }
}

void FillContacts(int rows, int distinctNames) {
  MustSucceed(DbExecute(QStringLiteral("DELETE FROM 地址表")));
  MustSucceed(DbExecute(QStringLiteral("BEGIN")));
  for (int i = 0; i < rows; ++i) {
    MustSucceed(DbExecute(QStringLiteral("INSERT INTO 地址表(AName,CName,CAddr) VALUES(?,?,?)"),
                          {QStringLiteral("member%1").arg((i * 7919) % distinctNames),
                           QStringLiteral("深圳市某某电子有限公司"),
                           QStringLiteral("广东省深圳市福田区某某路88号")}));
  }
  MustSucceed(DbExecute(QStringLiteral("COMMIT")));
}

// The record-by-record walk: every repeat deleted on its own.
void RemoveDuplicatesRowByRow() {
  Connection connection;
  Recordset records;
  MustSucceed(DbOpenRecordset(connection, records,
                              QStringLiteral("SELECT * FROM 地址表 ORDER BY AName,ID")));
  QVariant kept;
  for (int n = records.RecordCount(); n > 0; --n, records.MoveNext()) {
    const QVariant key = records.Value(QStringLiteral("AName"));
    if (kept.isValid() && key == kept) {
      MustSucceed(records.DeleteCurrent());
    } else {
      kept = key;
    }
  }
  DbCloseRecordset(connection, records);
}

int ReadAllContacts() {
  Connection connection;
  Recordset records;
  MustSucceed(DbOpenRecordset(connection, records, QStringLiteral("SELECT * FROM 地址表")));
  int cells = 0;
  for (; !records.Eof(); records.MoveNext()) {
    for (int field = 0; field < records.FieldCount(); ++field) {
      cells += records.Value(field).toString().isEmpty() ? 0 : 1;
    }
  }
  DbCloseRecordset(connection, records);
  return cells;
}

int CountRows() {
  Connection connection;
  Recordset records;
  MustSucceed(DbOpenRecordset(connection, records, QStringLiteral("SELECT ID FROM 地址表")));
  return records.RecordCount();
}

}  // namespace

int main() {
  QTemporaryDir directory;
  if (!directory.isValid()) return 1;
  MustSucceed(CreateDatabase(directory.path()));
  setenv("QUENLO_DATA_DIR", directory.path().toLocal8Bit().constData(), 1);

  std::vector<double> pooled, unpooled;
  for (int page = 0; page < 15; ++page)
    pooled.push_back(Milliseconds([&] { StorePage(page, true); }));
  for (int page = 100; page < 103; ++page) {
    unpooled.push_back(Milliseconds([&] { StorePage(page, false); }));
  }
  std::vector<double> batched, bare;
  for (int page = 200; page < 215; ++page) {
    batched.push_back(Milliseconds([&] {
      DbTransaction transaction;
      MustSucceed(transaction.Begin());
      StorePage(page, true);
      MustSucceed(transaction.Commit());
    }));
  }
  DbReleaseSharedConnection();
  for (int i = 0; i < 15; ++i) bare.push_back(BareInsertsMs(DatabasePath()));
  std::printf(
      "store one page (80 inserts): shared connection %.2f ms (target < 20 ms), "
      "connection per operation %.1f ms, ratio %.0fx\n",
      Median(pooled), Median(unpooled), Median(unpooled) / Median(pooled));
  std::printf(
      "  same page in one DbTransaction %.2f ms; bare SQLite floor %.2f ms "
      "(shared connection / floor %.2fx)\n",
      Median(batched), Median(bare), Median(pooled) / Median(bare));

  FillContacts(30000, 15000);
  const double setBased = Milliseconds([] {
    MustSucceed(DbRemoveDuplicates(QStringLiteral("地址表"), QStringLiteral("AName"),
                                   QStringLiteral("ID")));
  });
  const int keptSetBased = CountRows();
  FillContacts(30000, 15000);
  const double rowByRow = Milliseconds(RemoveDuplicatesRowByRow);
  std::printf(
      "remove duplicates of 30000 rows (%d kept): %.1f ms (target < 1000 ms), "
      "row by row %.1f ms (%d kept), ratio %.1fx\n",
      keptSetBased, setBased, rowByRow, CountRows(), rowByRow / setBased);

  FillContacts(29164, 29164);
  std::vector<double> reads;
  int cells = 0;
  for (int i = 0; i < 5; ++i) reads.push_back(Milliseconds([&] { cells = ReadAllContacts(); }));
  DbReleaseSharedConnection();
  const double coldRead = Milliseconds([&] { cells = ReadAllContacts(); });
  std::printf(
      "read 29164 rows through a recordset (%d filled cells): %.1f ms warm, %.1f ms "
      "with a fresh connection (target well under 1000 ms)\n",
      cells, Median(reads), coldRead);
  return 0;
}
