#include "tests/support/sample_contacts.h"

#include <QVariantList>

#include "store/database.h"
#include "tools/sample_market/expected_results.h"

namespace quenlo::testing {
namespace {

// The columns in the order of the contact result's ten fields.
const QStringList kResultColumns = {QStringLiteral("CAddr"),  QStringLiteral("CName"),
                                    QStringLiteral("CUrl"),   QStringLiteral("CPC"),
                                    QStringLiteral("RFax"),   QStringLiteral("RMob"),
                                    QStringLiteral("RPhone"), QStringLiteral("RJob"),
                                    QStringLiteral("RSex"),   QStringLiteral("RName")};

}  // namespace

QString StoredContactField(const sample_market::Member& m, const QString& column) {
  if (column == u"AName") return QString::fromStdString(m.name);
  const int index = int(kResultColumns.indexOf(column));
  if (index < 0) return {};
  return QString::fromStdString(sample_market::ExpectedContactFields(m).at(std::size_t(index)));
}

bool StoreSampleContacts(int count) {
  const sample_market::Catalogue catalogue({.seed = 1, .members = count});
  DbTransaction transaction;
  if (!transaction.Begin().Ok()) return false;
  const QString insert = QStringLiteral(
      "INSERT INTO 地址表(AName, CAddr, CName, CUrl, CPC, RFax, RMob, RPhone, RJob, RSex, RName) "
      "VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
  for (const sample_market::Member& m : catalogue.members()) {
    QVariantList values{StoredContactField(m, QStringLiteral("AName"))};
    for (const QString& column : kResultColumns) values << StoredContactField(m, column);
    if (!DbExecute(insert, values).Ok()) return false;
  }
  return transaction.Commit().Ok();
}

}  // namespace quenlo::testing
