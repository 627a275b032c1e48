// Shared pieces of the record-browser tests: a real record base in a
// temporary directory, and progress / messenger ports that record what the
// user would have seen.
#pragma once

#include <functional>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <gtest/gtest.h>

#include "ports/messenger.h"
#include "ports/progress_sink.h"
#include "store/database.h"

namespace quenlo::testing {

struct ProgressCall {
  QString caption;
  int total;
};

class RecordingProgress : public ProgressSink {
 public:
  RecordingProgress() { SetActiveProgress(this); }
  ~RecordingProgress() override { SetActiveProgress(nullptr); }
  void Begin(const QString& caption, int total, int& start) override {
    begins.push_back({caption, total});
    start = 0;
  }
  void Step(int count, const QString&) override {
    steps += count;
    if (onStep) onStep();
  }
  void SetPosition(int) override {}
  void End() override { ++ends; }

  std::vector<ProgressCall> begins;
  std::function<void()> onStep;  // what the window might do while a step pumps its events
  int steps = 0;
  int ends = 0;
};

class RecordingMessenger : public Messenger {
 public:
  RecordingMessenger() { SetActiveMessenger(this); }
  ~RecordingMessenger() override { SetActiveMessenger(nullptr); }
  void ShowMessage(const QString& text) override { messages << text; }
  bool AskYesNo(const QString& text) override {
    questions << text;
    return answer_yes;
  }

  QStringList messages;
  QStringList questions;
  bool answer_yes = true;
};

// A fresh DATA.mdb in a temporary directory, made the one the store uses.
class TempDatabase {
 public:
  TempDatabase() {
    DbReleaseSharedConnection();
    qputenv("QUENLO_DATA_DIR", dir_.path().toUtf8());
    QString error;
    created_ = CreateDatabase(dir_.path(), &error);
    EXPECT_TRUE(created_) << error.toStdString();
  }
  ~TempDatabase() {
    DbReleaseSharedConnection();
    qunsetenv("QUENLO_DATA_DIR");
  }

  // Members m1..mN with the company "公司<i>", in one transaction.
  static void AddMembers(int count, const QString& prefix = QStringLiteral("m")) {
    DbExecute(QStringLiteral("BEGIN"));
    for (int i = 1; i <= count; ++i) {
      AddContact(prefix + QString::number(i), QStringLiteral("公司%1").arg(i));
    }
    DbExecute(QStringLiteral("COMMIT"));
  }
  static void AddContact(const QString& member, const QString& company) {
    DbExecute(QStringLiteral("INSERT INTO 地址表(AName, CName, CUrl) VALUES(?, ?, ?)"),
              {member, company, QStringLiteral("http://") + member + QStringLiteral(".example")});
  }
  // Values of column in 地址表, by ID.
  static QStringList Column(const QString& column, const QString& where = QString(),
                            const QVariantList& params = {}) {
    Connection connection;
    Recordset records;
    DbOpenRecordset(connection, records,
                    QStringLiteral("SELECT ") + column + QStringLiteral(" FROM 地址表") +
                        (where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where) +
                        QStringLiteral(" ORDER BY ID"),
                    params);
    QStringList values;
    for (; records.IsOpen() && !records.Eof(); records.MoveNext()) {
      values << records.Value(0).toString();
    }
    DbCloseRecordset(connection, records);
    return values;
  }

 private:
  QTemporaryDir dir_;
  bool created_ = false;
};

}  // namespace quenlo::testing
