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
#include <random>

#include "browser/address_list.h"
#include "browser/font_text_measure.h"
#include "browser/grid_operations.h"
#include "store/database.h"

namespace quenlo {
namespace {

const QStringList kCities = {"上海市", "北京市", "广州市", "深圳市", "杭州市", "宁波市", "温州市",
                             "苏州市", "无锡市", "东莞市", "佛山市", "厦门市"};
const QStringList kTrades = {"电子", "五金", "塑料", "纺织", "机械", "化工", "包装", "照明", "家具"};
const QStringList kSurnames = {"王", "李", "张", "刘", "陈", "杨", "黄", "赵", "吴", "周"};
const QStringList kJobs = {"经理", "销售经理", "总经理", "业务员", "采购", "厂长"};

QString Digits(std::mt19937& random, int count) {
  QString digits;
  for (int i = 0; i < count; ++i) digits += QChar(static_cast<char16_t>(u'0' + random() % 10));
  return digits;
}

void FillRecordBase(int rows) {
  std::mt19937 random(7);
  DbExecute("BEGIN");
  for (int i = 0; i < rows; ++i) {
    const QString city = kCities[random() % kCities.size()];
    const QString trade = kTrades[random() % kTrades.size()];
    const QString member = QStringLiteral("member%1%2").arg(i).arg(Digits(random, 3));
    DbExecute("INSERT INTO 地址表(AName, CName, RName, RMob, RPhone, RFax, RSex, RJob, CAddr, CPC, "
              "CUrl) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
              {member, city + kSurnames[random() % kSurnames.size()] + "氏" + trade + "有限公司",
               kSurnames[random() % kSurnames.size()] + "先生", "13" + Digits(random, 9),
               "0" + Digits(random, 2) + "-" + Digits(random, 8),
               "0" + Digits(random, 2) + "-" + Digits(random, 8), random() % 2 ? "男" : "女",
               kJobs[random() % kJobs.size()],
               city + trade + "路" + QString::number(random() % 999) + "号", Digits(random, 6),
               "http://" + member + ".cn.example.com"});
  }
  DbExecute("COMMIT");
}

double RawReadMs(int cap) {
  QElapsedTimer timer;
  timer.start();
  Connection connection;
  Recordset records;
  DbOpenRecordset(connection, records, "SELECT * FROM 地址表 ORDER BY ID ASC");
  qint64 chars = 0;
  for (int n = 0; n < cap && !records.Eof(); ++n, records.MoveNext()) {
    for (int f = 0; f < records.FieldCount(); ++f) chars += records.Value(f).toString().size();
  }
  DbCloseRecordset(connection, records);
  const double ms = timer.nsecsElapsed() / 1e6;
  std::printf("  (read %lld characters)\n", static_cast<long long>(chars));
  return ms;
}

template <typename Body>
double TimeMs(Body body) {
  QElapsedTimer timer;
  timer.start();
  body();
  return timer.nsecsElapsed() / 1e6;
}

}  // namespace
}  // namespace quenlo

int main(int argc, char** argv) {
  using namespace quenlo;
  QApplication app(argc, argv);
  const int rows = argc > 1 ? std::atoi(argv[1]) : 40000;
  QTemporaryDir dir;
  qputenv("QUENLO_DATA_DIR", dir.path().toUtf8());
  QString error;
  if (!CreateDatabase(dir.path(), &error)) {
    std::fprintf(stderr, "cannot create the record base: %s\n", qPrintable(error));
    return 1;
  }
  std::printf("record base: %d rows (filled in %.0f ms)\n", rows,
              TimeMs([&] { FillRecordBase(rows); }));

  QWidget window;
  const FontTextMeasure measure(window);
  GridModel grid;
  grid.SetWidth(15000);
  const int cap = std::min(rows, GridRowCap(12));

  const double raw = RawReadMs(cap);
  const double fill = TimeMs([&] { RefreshAddressList(grid, {}, {}, measure); });
  const double fit = TimeMs([&] { GridAutoFitColumns(measure, grid, 2, true); });
  const double textSort = TimeMs([&] { GridSortByColumn(grid, 2); });
  grid.SetColAlignment(4, 4);
  const double numericSort = TimeMs([&] { GridSortByColumn(grid, 4); });

  std::printf("grid rows: %d\n", GridDataRowCount(grid));
  std::printf("%-34s %9s %9s %8s\n", "step", "ms", "x raw", "target");
  std::printf("%-34s %9.1f %9.2f %8s\n", "baseline: raw recordset read", raw, 1.0, "");
  std::printf("%-34s %9.1f %9.2f %8s\n", "fill (read, cells, width fit)", fill, fill / raw, "1000");
  std::printf("%-34s %9.1f %9.2f %8s\n", "width fit alone", fit, fit / raw, "");
  std::printf("%-34s %9.1f %9.2f %8s\n", "fill without the fit", fill - fit, (fill - fit) / raw, "");
  std::printf("%-34s %9.1f %9.2f %8s\n", "text sort (company name)", textSort, textSort / raw, "300");
  std::printf("%-34s %9.1f %9.2f %8s\n", "numeric sort (mobile)", numericSort, numericSort / raw, "300");
  DbReleaseSharedConnection();
  return 0;
}
