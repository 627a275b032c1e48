// The world a harvest test runs in: the sample marketplace on 127.0.0.1, a
// fresh record base in a temporary data directory, a temporary work
// directory as the current directory, the real pitrel, and a messenger that
// records instead of asking.
#pragma once

#include "harvest/harvest_hooks.h"
#include "harvest/process_launcher.h"
#include "store/database.h"
#include "tests/support/recording_messenger.h"
#include "tests/support/temp_record_base.h"
#include "tools/sample_market/server.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QMap>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace quenlo::testing {

inline QString PitrelPath() { return QStringLiteral(QUENLO_BUILD_DIR "/pitrel"); }

// A marketplace of `members` members with the faults listed (faults.h).
inline sample_market::MarketplaceOptions MarketWithFaults(int members, const char* faults) {
  sample_market::MarketplaceOptions options;
  options.members = members;
  std::string error;
  EXPECT_TRUE(sample_market::ParseFaultPlan(faults, &options.faults, &error)) << error;
  return options;
}

// Real workers, at most `limit` at once, and the harvest's default policy.
struct Harvesting {
  ProcessLauncher launcher{PitrelPath()};
  HarvestHooks hooks;
  explicit Harvesting(int limit = 15) {
    hooks.launcher = &launcher;
    hooks.workerLimit = [limit] { return limit; };
  }
};

class HarvestWorld {
 public:
  explicit HarvestWorld(sample_market::MarketplaceOptions options = {})
      : market(std::move(options)) {
    std::string error;
    started = market.Start(&error);
    EXPECT_TRUE(started) << error;
    for (const std::string& line : market.EnvironmentLines()) {
      const auto eq = line.find('=');
      qputenv(line.substr(0, eq).c_str(), QByteArray::fromStdString(line.substr(eq + 1)));
    }
    qputenv("QUENLO_PITREL", PitrelPath().toUtf8());
    previousDirectory = QDir::currentPath();
    // One level down, so that a file escaping with ".." would still be seen.
    workDirectory = work.path() + "/w";
    QDir().mkpath(workDirectory);
    QDir::setCurrent(workDirectory);
  }
  ~HarvestWorld() {
    QDir::setCurrent(previousDirectory);
    market.Stop();
  }

  // One column of a table, in row order (oldest first).
  static QStringList Column(const QString& table, const QString& column,
                            const QString& where = QString()) {
    return ColumnValues(table, column, where);
  }
  // Member name -> value of column, for every row.
  static QMap<QString, QString> ByMember(const QString& table, const QString& column) {
    const QStringList names = Column(table, "AName");
    const QStringList values = Column(table, column);
    QMap<QString, QString> map;
    for (int i = 0; i < names.size(); ++i) map.insert(names[i], values[i]);
    return map;
  }
  // Names of catalogue members 1..count (the search "hits<count>" lists them).
  QStringList CatalogueNames(int count) const {
    QStringList names;
    for (int k = 1; k <= count; ++k)
      names.append(QString::fromStdString(market.catalogue().at(k).name));
    return names;
  }
  int SearchRequests() const {
    int count = 0;
    for (const std::string& path : market.RequestedPaths())
      if (path.rfind("/company/", 0) == 0 && path.find("/detail/") == std::string::npos &&
          path.find("/offerlist/") == std::string::npos)
        ++count;
    return count;
  }
  QStringList WorkFiles() const { return QDir(workDirectory).entryList(QDir::Files); }
  // Everything beside the work directory: should stay empty.
  QStringList Escaped() const {
    QStringList entries = QDir(work.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    entries.removeAll("w");
    return entries;
  }

  sample_market::SampleMarketplace market;
  bool started = false;
  TempRecordBase data;
  QTemporaryDir work;
  QString workDirectory;
  QString previousDirectory;
  RecordingMessenger messenger;
};

}  // namespace quenlo::testing
