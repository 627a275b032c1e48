#include "shell/wiring/record_browser_wiring.h"

#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QTabBar>

#include "browser/address_list.h"
#include "browser/grid_view.h"
#include "browser/profile_list.h"
#include "browser/record_browser.h"
#include "harvest/marketplace_urls.h"
#include "shell/main_window.h"

namespace quenlo {
namespace {

const QString kNothingToUndo = QStringLiteral("没有可以撤销的修改或删除。");

// One list's browser with the window's controls around it.
struct ListInView {
  RecordBrowser* browser;
  QComboBox* fieldBox;
  QLineEdit* keywordEdit;
  Command refresh;
  int page;
  QString table;
};

RecordBrowser* PlaceBrowser(const RecordList& list, GridModel& grid, QWidget* host,
                            RecordBrowser::Options options) {
  auto* browser = new RecordBrowser(list, grid, host, std::move(options));
  if (host->layout() != nullptr) host->layout()->addWidget(&browser->View());
  return browser;
}

// The two lists, owned by the window.
struct ListsInView : QObject {
  using QObject::QObject;
  ListInView addresses;
  ListInView profiles;
};

// A member double-clicked in one list is looked for in the other: among the
// rows it shows, else by a search for the member there, which its search
// boxes then show.
void FindMember(MainWindow& window, const ListInView& other, const QString& member) {
  if (other.browser->ShowMember(member)) return;
  other.fieldBox->setCurrentIndex(kMemberColumn - 1);
  other.keywordEdit->setText(member);
  other.browser->Refresh(other.fieldBox->currentText(), member);
  if (!other.browser->ShowMember(member))
    window.StatusLabel()->setText(QStringLiteral("%1中没有会员编号为 %2 的记录").arg(other.table, member));
}

void WireSearch(MainWindow& window, const ListInView& list) {
  window.SetCommandAction(list.refresh, [&window, list] {
    window.StatusLabel()->setText(
        list.browser->Refresh(list.fieldBox->currentText(), list.keywordEdit->text()));
  });
}

void WireEditing(MainWindow& window, RecordBrowser* addresses) {
  window.SetCommandAction(Command::DeleteRows, [&window, addresses] {
    const QString count = addresses->DeleteSelected();
    if (!count.isEmpty()) window.StatusLabel()->setText(count);
  });
  QObject::connect(&addresses->View(), &GridView::DeleteKeyPressed, &window,
                   [&window] { window.RunCommand(Command::DeleteRows); });
  window.SetCommandAction(Command::Undo, [&window, addresses] {
    addresses->CommitEdit();  // an edit in progress is the newest step
    window.StatusLabel()->setText(addresses->CanUndo() ? addresses->Undo() : kNothingToUndo);
  });
}

}  // namespace

void WireRecordBrowser(MainWindow& window) {
  auto* lists = new ListsInView(&window);
  ListInView& addresses = lists->addresses;
  ListInView& profiles = lists->profiles;

  RecordBrowser::Options addressOptions;
  addressOptions.editable = true;
  addressOptions.openContactPage = [](const QString& member) {
    OpenInBrowser(BuildContactUrl(member));
  };
  // The edit of the cell begins as well, so the address tab stays in view.
  addressOptions.memberDoubleClicked = [&window, &profiles](const QString& member) {
    FindMember(window, profiles, member);
  };
  RecordBrowser::Options profileOptions;
  profileOptions.memberDoubleClicked = [&window, &addresses](const QString& member) {
    window.ShowPage(kRecordsPage);
    FindMember(window, addresses, member);
  };

  addresses = {PlaceBrowser(AddressList(), window.RecordGrid(), window.GridHost(), addressOptions),
               window.SearchFieldBox(), window.KeywordEdit(), Command::Refresh, kRecordsPage,
               AddressList().table};
  profiles = {PlaceBrowser(ProfileList(), window.ProfileGrid(), window.ProfileGridHost(),
                           profileOptions),
              window.ProfileFieldBox(), window.ProfileKeywordEdit(), Command::RefreshProfiles,
              kProfilesPage, ProfileList().table};
  if (addresses.fieldBox->count() == 0) addresses.fieldBox->addItems(AddressSearchEntries());
  if (profiles.fieldBox->count() == 0) profiles.fieldBox->addItems(SearchEntries(ProfileList()));

  WireSearch(window, addresses);
  WireSearch(window, profiles);
  WireEditing(window, addresses.browser);
  window.SetCommandAction(Command::CopyCells, [&window, lists] {
    for (const ListInView* list : {&lists->addresses, &lists->profiles})
      if (window.CurrentPage() == window.Page(list->page)) list->browser->CopySelection();
  });
  // The profiles are read when their tab is first shown; a harvest refills
  // what has been shown.
  QObject::connect(window.TabBar(), &QTabBar::currentChanged, lists, [&window, &profiles] {
    if (window.CurrentPage() == window.Page(kProfilesPage) && !profiles.browser->HasBeenFilled())
      window.RunCommand(Command::RefreshProfiles);
  });
  // A renamed member is renamed among the profiles shown too.
  QObject::connect(addresses.browser, &RecordBrowser::MemberRenamed, profiles.browser,
                   &RecordBrowser::Refill);
  QObject::connect(&window, &MainWindow::StoredRecordsChanged, lists, [lists] {
    lists->addresses.browser->Refill();
    lists->profiles.browser->Refill();
  });
}

}  // namespace quenlo
