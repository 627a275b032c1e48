#include "shell/wiring/record_browser_wiring.h"

#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>

#include "browser/address_list.h"
#include "browser/grid_view.h"
#include "browser/record_browser.h"
#include "harvest/marketplace_urls.h"
#include "shell/main_window.h"

namespace quenlo {

void WireRecordBrowser(MainWindow& window) {
  QWidget* host = window.GridHost();
  auto* browser = new RecordBrowser(window.RecordGrid(), host, [](const QString& member) {
    OpenInBrowser(BuildContactUrl(member));
  });
  if (host->layout() != nullptr) host->layout()->addWidget(&browser->View());
  QComboBox& field = *window.SearchFieldBox();
  if (field.count() == 0) field.addItems(AddressSearchEntries());

  window.SetCommandAction(Command::Refresh, [&window, browser] {
    const QString count =
        browser->Refresh(window.SearchFieldBox()->currentText(), window.KeywordEdit()->text());
    window.StatusLabel()->setText(count);
  });
  window.SetCommandAction(Command::DeleteRows, [&window, browser] {
    const QString count = browser->DeleteSelected();
    if (!count.isEmpty()) window.StatusLabel()->setText(count);
  });
}

}  // namespace quenlo
