// Times the record grid on a record base of 40,000 realistic rows: filling the
// grid to its cap of 29,164 rows, fitting the column widths in a real font,
// and sorting one text and one numeric column. The baseline is the raw read
// of the same rows through a recordset, measured in the same run.
//
// Usage: bench_browser [rows]   (QT_QPA_PLATFORM=offscreen without a display)
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdio>
#include <ctime>
#include <random>

#include "bench/must_succeed.h"
#include "browser/address_list.h"
#include "browser/font_text_measure.h"
#include "browser/grid_operations.h"
#include "store/database.h"

namespace quenlo {
namespace {

const QStringList kCities = {"上海市", "北京市", "广州市", "深圳市", "杭州市", "宁波市",
                             "温州市", "苏州市", "无锡市", "东莞市", "佛山市", "厦门市"};
const QStringList kTrades = {"电子", "五金", "塑料", "纺织", "机械",
                             "化工", "包装", "照明", "家具"};
const QStringList kSurnames = {"王", "李", "张", "刘", "陈", "杨", "黄", "赵", "吴", "周"};
const QStringList kJobs = {"经理", "销售经理", "总经理", "业务员", "采购", "厂长"};

QString Digits(std::mt19937& random, int count) {
  QString digits;
  for (int i = 0; i < count; ++i) digits += QChar(static_cast<char16_t>(u'0' + random() % 10));
  return digits;
}

void FillRecordBase(int rows) {
  std::mt19937 random(7);
  MustSucceed(DbExecute("BEGIN"));
  for (int i = 0; i < rows; ++i) {
    const QString city = kCities[random() % kCities.size()];
    const QString trade = kTrades[random() % kTrades.size()];
    const QString member = QStringLiteral("member%1%2").arg(i).arg(Digits(random, 3));
    MustSucceed(DbExecute(
        "INSERT INTO 地址表(AName, CName, RName, RMob, RPhone, RFax, RSex, RJob, CAddr, CPC, "
        "CUrl) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
        {member, city + kSurnames[random() % kSurnames.size()] + "氏" + trade + "有限公司",
         kSurnames[random() % kSurnames.size()] + "先生", "13" + Digits(random, 9),
         "0" + Digits(random, 2) + "-" + Digits(random, 8),
         "0" + Digits(random, 2) + "-" + Digits(random, 8), random() % 2 ? "男" : "女",
         kJobs[random() % kJobs.size()],
         city + trade + "路" + QString::number(random() % 999) + "号", Digits(random, 6),
         "http://" + member + ".cn.example.com"}));
  }
  MustSucceed(DbExecute("COMMIT"));
}

void RawRead(int cap) {
  Connection connection;
  Recordset records;
  MustSucceed(DbOpenRecordset(connection, records, "SELECT * FROM 地址表 ORDER BY ID ASC"));
  qint64 chars = 0;
  for (int n = 0; n < cap && !records.Eof(); ++n, records.MoveNext()) {
    for (int f = 0; f < records.FieldCount(); ++f) chars += records.Value(f).toString().size();
  }
  DbCloseRecordset(connection, records);
  std::printf("baseline read %lld characters\n", static_cast<long long>(chars));
}

double CpuMs() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// Wall-clock and processor time of one step: on a shared machine the wall
// clock also counts other programs' turns.
struct Timing {
  double wall = 0;
  double cpu = 0;
};

template <typename Body>
Timing Time(Body body) {
  QElapsedTimer timer;
  const double cpuStart = CpuMs();
  timer.start();
  body();
  return {timer.nsecsElapsed() / 1e6, CpuMs() - cpuStart};
}

template <typename Body>
double TimeMs(Body body) {
  return Time(body).wall;
}

void PrintRow(const char* step, Timing t, Timing base, const char* target) {
  std::printf("%-32s %9.1f %9.1f %8.2f %8s\n", step, t.wall, t.cpu, t.cpu / base.cpu, target);
}

}  // namespace
}  // namespace quenlo

int main(int argc, char** argv) {
  using namespace quenlo;
  QApplication app(argc, argv);
  const int rows = argc > 1 ? std::atoi(argv[1]) : 40000;
  QTemporaryDir dir;
  qputenv("QUENLO_DATA_DIR", dir.path().toUtf8());
  MustSucceed(CreateDatabase(dir.path()));
  std::printf("record base: %d rows (filled in %.0f ms)\n", rows,
              TimeMs([&] { FillRecordBase(rows); }));

  QWidget window;
  const FontTextMeasure measure(window);
  GridModel grid;
  grid.SetWidth(15000);
  const int cap = std::min(rows, GridRowCap(12));

  const Timing raw = Time([&] { RawRead(cap); });
  const Timing fill = Time([&] { RefreshAddressList(grid, {}, {}, measure); });
  const Timing fit = Time([&] { GridAutoFitColumns(measure, grid, 2, true); });
  const Timing textSort = Time([&] { GridSortByColumn(grid, 2); });
  grid.SetColAlignment(4, 4);
  const Timing numericSort = Time([&] { GridSortByColumn(grid, 4); });

  std::printf("grid rows: %d\n", GridDataRowCount(grid));
  std::printf("%-32s %9s %9s %8s %8s\n", "step", "wall ms", "cpu ms", "cpu/raw", "target");
  PrintRow("baseline: raw recordset read", raw, raw, "");
  PrintRow("fill (read, cells, width fit)", fill, raw, "1000");
  PrintRow("width fit alone", fit, raw, "");
  PrintRow("text sort (company name)", textSort, raw, "300");
  PrintRow("numeric sort (mobile)", numericSort, raw, "300");
  DbReleaseSharedConnection();
  return 0;
}
