#include "browser/record_browser_wiring.h"

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
  auto* browser = new RecordBrowser(window.Grid(), host, [](const QString& member) {
    OpenInBrowser(BuildContactUrl(member));
  });
  if (host->layout() != nullptr) host->layout()->addWidget(&browser->View());
  if (window.Scmb()->count() == 0) window.Scmb()->addItems(AddressSearchEntries());

  window.SetCommandAction(2, [&window, browser] {
    window.Lbl()->setText(browser->Refresh(window.Scmb()->currentText(), window.SKey()->text()));
  });
  window.SetCommandAction(1, [&window, browser] {
    const QString count = browser->DeleteSelected();
    if (!count.isEmpty()) window.Lbl()->setText(count);
  });
}

}  // namespace quenlo
