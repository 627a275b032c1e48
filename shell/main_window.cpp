#include "shell/main_window.h"

#include "shell/about_window.h"
#include "shell/control_names.h"
#include "shell/help_links.h"
#include "shell/main_window_layout.h"
#include "shell/main_window_parts.h"
#include "shell/search_bar.h"
#include "shell/url_opener.h"
#include "shell/user_manual.h"
#include "widgets/form_helpers.h"

#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QKeySequence>
#include <QShortcut>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>
#include <variant>

namespace quenlo {
namespace {

struct ButtonCaption {
  Command command;
  const char* caption;
};

// The records page, left to right after the search boxes.
constexpr ButtonCaption kRecordCommands[] = {
    {Command::Refresh, "刷新"},
    {Command::DeleteRows, "删除选定行"},
    {Command::HarvestMemberNames, "下载阿里会员名"},
    {Command::HarvestContacts, "下载会员地址"},
    {Command::HarvestProfiles, "下载企业介绍"},
    {Command::StopProfileHarvest, "中止介绍下载"},
    {Command::ExportShownRecords, "导出显示记录"},
    {Command::ExportAllRecords, "导出所有记录"},
};
constexpr ButtonCaption kProfileCommands[] = {
    {Command::RefreshProfiles, "刷新"},
    {Command::ExportShownProfiles, "导出显示记录"},
    {Command::ExportAllProfiles, "导出所有记录"},
};
constexpr ButtonCaption kHelpCommands[] = {{Command::OpenHelpPage, "更多帮助…"},
                                           {Command::ChatWithSupport1, "QQ在线帮助1"},
                                           {Command::ChatWithSupport2, "QQ在线帮助2"},
                                           {Command::ShowAbout, "版 权 说 明"}};

constexpr const char* kSearchFields[] = {"01:会员编号", "02:公司名称", "03:联系人", "04:手机",
                                         "05:电话",     "06:传真",     "07:性别",   "08:职务",
                                         "09:地址",     "10:邮编",     "11:网址"};

template <size_t N>
void AddBarButtons(const SearchBar& bar, const ButtonCaption (&commands)[N],
                   std::map<Command, QPushButton*>& buttons) {
  for (const ButtonCaption& c : commands)
    buttons[c.command] = AddBarButton(bar, QString::fromUtf8(c.caption));
}

QWidget* NewGridHost(QWidget* page, const char* name) {
  auto* host = new QWidget(page);
  host->setObjectName(QString::fromLatin1(name));
  auto* layout = new QVBoxLayout(host);
  layout->setContentsMargins(0, 0, 0, 0);
  return host;
}

QObject* FirstChildOtherThan(const QObject* parent, const QObject* kept) {
  for (QObject* child : parent->children())
    if (child != kept) return child;
  return nullptr;
}

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), parts_(std::make_unique<Parts>()) {
  setObjectName(control_names::kMainWindow);
  setWindowTitle(QStringLiteral("Quenlo1.0"));
  Parts& p = *parts_;

  auto* client = new QWidget(this);
  setCentralWidget(client);
  p.tabStrip = new QFrame(client);
  p.tabStrip->setObjectName(control_names::kTabStrip);
  static_cast<QFrame*>(p.tabStrip)->setFrameShape(QFrame::StyledPanel);
  p.tabBar = new QTabBar(p.tabStrip);
  p.tabBar->setExpanding(false);
  p.tabBar->addTab(QStringLiteral("企业联系方式"));
  p.tabBar->addTab(QStringLiteral("企业介绍"));
  p.tabBar->addTab(QStringLiteral("使用帮助"));
  for (int i = 0; i < int(p.pages.size()); ++i) {
    p.pages[i] = new QWidget(p.tabStrip);
    p.pages[i]->setObjectName(control_names::kPages[i]);
  }
  connect(p.tabBar, &QTabBar::currentChanged, this, [this] {
    for (QWidget* page : parts_->pages) page->setVisible(page == CurrentPage());
  });

  // The records page: the condition "field contains keyword", the commands, the grid.
  QStringList fields;
  for (const char* field : kSearchFields) fields << QString::fromUtf8(field);
  p.recordSearch = BuildSearchBar(
      p.pages[kRecordsPage],
      {control_names::kSearchFieldBox, control_names::kContainsLabel, control_names::kKeywordEdit},
      fields, 1);
  AddBarButtons(p.recordSearch, kRecordCommands, p.buttons);
  p.gridHost = NewGridHost(p.pages[kRecordsPage], control_names::kGridHost);

  // The profiles page likewise; the profile list's wiring offers its fields.
  p.profileSearch = BuildSearchBar(
      p.pages[kProfilesPage],
      {control_names::kProfileSearchFieldBox, control_names::kProfileContainsLabel,
       control_names::kProfileKeywordEdit},
      {}, -1);
  AddBarButtons(p.profileSearch, kProfileCommands, p.buttons);
  p.profileGridHost = NewGridHost(p.pages[kProfilesPage], control_names::kProfileGridHost);

  // Enter in a keyword box searches when both boxes hold text.
  for (const auto& [bar, refresh] : {std::pair{p.recordSearch, Command::Refresh},
                                     std::pair{p.profileSearch, Command::RefreshProfiles}}) {
    connect(bar.keywordEdit, &QLineEdit::returnPressed, this, [this, bar, refresh] {
      if (!bar.keywordEdit->text().isEmpty() && !bar.fieldBox->currentText().isEmpty())
        RunCommand(refresh);
    });
  }

  // The help page: the manual and the help commands.
  p.helpText = new QPlainTextEdit(UserManualText(), p.pages[kHelpPage]);
  p.helpText->setObjectName(control_names::kHelpText);
  p.helpText->setReadOnly(true);
  p.helpFrame = new QGroupBox(QStringLiteral("帮助"), p.pages[kHelpPage]);
  p.helpFrame->setObjectName(control_names::kHelpFrame);
  auto* frameLayout = new QVBoxLayout(p.helpFrame);
  for (const ButtonCaption& c : kHelpCommands) {
    auto* button = new QPushButton(QString::fromUtf8(c.caption), p.helpFrame);
    frameLayout->addWidget(button);
    p.buttons[c.command] = button;
  }
  frameLayout->addStretch();

  p.statusLabel = new QLabel(QStringLiteral("已下载会员："), client);
  p.statusLabel->setObjectName(control_names::kStatusLabel);

  for (auto& [command, button] : p.buttons) {
    button->setObjectName(control_names::CommandButton(command));
    connect(button, &QPushButton::clicked, this, [this, c = command] { RunCommand(c); });
  }
  for (const ButtonCaption& c : kRecordCommands) SetButtonBackColor(c.command, kStartButtonColor);
  for (const ButtonCaption& c : kProfileCommands) SetButtonBackColor(c.command, kStartButtonColor);

  BuildMenus();
  BuildTabKeys();
  p.newEditionTimer = new QTimer(this);
  p.newEditionTimer->setObjectName(control_names::kNewVersionTimer);
  p.newEditionTimer->setInterval(10000);
  p.newEditionTimer->setSingleShot(true);
  connect(p.newEditionTimer, &QTimer::timeout, this, [this] {
    if (parts_->versionCheck) parts_->versionCheck();
  });

  // The shell's own commands: help links and the about window.
  SetCommandAction(Command::OpenHelpPage, [] { OpenUrl(HelpPageUrl()); });
  SetCommandAction(Command::ChatWithSupport1, [] { OpenUrl(MessengerUrl(SupportAccount(1))); });
  SetCommandAction(Command::ChatWithSupport2, [] { OpenUrl(MessengerUrl(SupportAccount(2))); });
  SetCommandAction(Command::ShowAbout, [] { ShowAboutWindow(); });
  for (const auto& entry : p.buttons) UpdateAvailability(entry.first);

  SetActiveProgress(&p.progress);
  SetActiveMessenger(&p.messenger);
  resize(ToPixelsX(15600, this), ToPixelsY(10800, this));
  LayoutMainWindow(*this);
  setMinimumSize(LayoutMinimumSize());
}

MainWindow::~MainWindow() {
  if (&ActiveProgress() == &parts_->progress) SetActiveProgress(nullptr);
  if (&ActiveMessenger() == &parts_->messenger) SetActiveMessenger(nullptr);
  // QWidget deletes the children only after the members, but the grid view
  // and the subsystems' objects reach into the parts as they go: they go
  // first. The layout stays, as QMainWindow uses it until its own end.
  while (QObject* child = FirstChildOtherThan(this, layout())) delete child;
}

void MainWindow::BuildMenus() {
  // The two items that run no command.
  enum class WindowAction { Close, AskWorkerLimit };
  struct Item {
    const char* menu;
    const char* name;
    const char* caption;
    std::variant<Command, WindowAction> runs;
    QKeySequence::StandardKey key = QKeySequence::UnknownKey;
  };
  static constexpr Item kItems[] = {
      {"文件(&F)", "mExit", "退出", WindowAction::Close},
      {"编辑(&E)", "mUndo", "撤销", Command::Undo, QKeySequence::Undo},
      {"编辑(&E)", "mCopy", "复制", Command::CopyCells, QKeySequence::Copy},
      {"企业地址(&R)", "mDownMember", "下载会员", Command::HarvestMemberNames},
      {"企业地址(&R)", "mDownAddr", "下载地址", Command::HarvestContacts},
      {"企业地址(&R)", "mDeleteRows", "删除选定行", Command::DeleteRows},
      {"企业地址(&R)", "mOutputDispRec", "导出显示记录", Command::ExportShownRecords},
      {"企业地址(&R)", "mOutputAllRec", "导出所有记录", Command::ExportAllRecords},
      {"设置(&S)", "mSetMaxThread", "下载线程数", WindowAction::AskWorkerLimit},
      {"帮助(&H)", "m_HCom0", "更多帮助", Command::OpenHelpPage},
      {"帮助(&H)", "m_HCom1", "QQ帮助 1", Command::ChatWithSupport1},
      {"帮助(&H)", "m_HCom2", "QQ帮助 2", Command::ChatWithSupport2},
      {"帮助(&H)", "m_HCom5", "关于软件", Command::ShowAbout},
  };
  static const std::map<QString, QString> kMenuNames = {
      {QStringLiteral("文件(&F)"), QStringLiteral("m_File")},
      {QStringLiteral("编辑(&E)"), QStringLiteral("mEdit")},
      {QStringLiteral("企业地址(&R)"), QStringLiteral("mAddress")},
      {QStringLiteral("设置(&S)"), QStringLiteral("mParamter")},
      {QStringLiteral("帮助(&H)"), QStringLiteral("mHelp")}};

  std::map<QString, QMenu*> menus;
  for (const Item& item : kItems) {
    const QString title = QString::fromUtf8(item.menu);
    QMenu*& menu = menus[title];
    if (!menu) {
      menu = menuBar()->addMenu(title);
      menu->setObjectName(kMenuNames.at(title));
    }
    QAction* action = menu->addAction(QString::fromUtf8(item.caption));
    action->setObjectName(QString::fromLatin1(item.name));
    action->setShortcut(item.key);
    if (const Command* command = std::get_if<Command>(&item.runs)) {
      connect(action, &QAction::triggered, this, [this, c = *command] { RunCommand(c); });
      parts_->menuItems[*command].append(action);
    } else if (std::get<WindowAction>(item.runs) == WindowAction::Close) {
      connect(action, &QAction::triggered, this, &QWidget::close);
    } else {
      connect(action, &QAction::triggered, this, &MainWindow::ChangeWorkerLimit);
    }
  }
}

void MainWindow::BuildTabKeys() {
  // As tabbed windows do: Ctrl+PgDown / Ctrl+Tab on, Ctrl+PgUp / Ctrl+Shift+Tab back.
  const auto step = [this](int by) {
    const int count = parts_->tabBar->count();
    parts_->tabBar->setCurrentIndex((parts_->tabBar->currentIndex() + by + count) % count);
  };
  for (const QKeySequence& keys : {QKeySequence(Qt::CTRL | Qt::Key_PageDown),
                                   QKeySequence(Qt::CTRL | Qt::Key_Tab)})
    connect(new QShortcut(keys, this), &QShortcut::activated, this, [step] { step(1); });
  for (const QKeySequence& keys : {QKeySequence(Qt::CTRL | Qt::Key_PageUp),
                                   QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab)})
    connect(new QShortcut(keys, this), &QShortcut::activated, this, [step] { step(-1); });
}

QPushButton* MainWindow::CommandButton(Command command) const {
  const auto it = parts_->buttons.find(command);
  return it == parts_->buttons.end() ? nullptr : it->second;
}

void MainWindow::SetButtonBackColor(Command command, quint32 windowsRgb) {
  QPushButton* button = CommandButton(command);
  if (!button) return;
  parts_->backColors[command] = windowsRgb;
  const QColor color(windowsRgb & 0xFF, (windowsRgb >> 8) & 0xFF, (windowsRgb >> 16) & 0xFF);
  button->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; padding: 1px 6px; }")
                            .arg(color.name()));
}

quint32 MainWindow::ButtonBackColor(Command command) const {
  const auto it = parts_->backColors.find(command);
  return it == parts_->backColors.end() ? 0 : it->second;
}

QLabel* MainWindow::StatusLabel() const { return parts_->statusLabel; }
QComboBox* MainWindow::SearchFieldBox() const { return parts_->recordSearch.fieldBox; }
QLineEdit* MainWindow::KeywordEdit() const { return parts_->recordSearch.keywordEdit; }
QWidget* MainWindow::GridHost() const { return parts_->gridHost; }
GridModel& MainWindow::RecordGrid() { return parts_->grid; }
QComboBox* MainWindow::ProfileFieldBox() const { return parts_->profileSearch.fieldBox; }
QLineEdit* MainWindow::ProfileKeywordEdit() const { return parts_->profileSearch.keywordEdit; }
QWidget* MainWindow::ProfileGridHost() const { return parts_->profileGridHost; }
GridModel& MainWindow::ProfileGrid() { return parts_->profileGrid; }
QWidget* MainWindow::TabStrip() const { return parts_->tabStrip; }
QTabBar* MainWindow::TabBar() const { return parts_->tabBar; }
QWidget* MainWindow::Page(int index) const {
  return index >= 0 && index < int(parts_->pages.size()) ? parts_->pages[index] : nullptr;
}
QWidget* MainWindow::CurrentPage() const {
  const int tab = parts_->tabBar->currentIndex();
  return tab >= 0 && tab < int(std::size(kTabPages)) ? Page(kTabPages[tab]) : nullptr;
}
void MainWindow::ShowPage(int index) {
  for (int tab = 0; tab < int(std::size(kTabPages)); ++tab)
    if (kTabPages[tab] == index) parts_->tabBar->setCurrentIndex(tab);
}
QPlainTextEdit* MainWindow::HelpText() const { return parts_->helpText; }
QWidget* MainWindow::HelpFrame() const { return parts_->helpFrame; }
QWidget* MainWindow::RecordBar() const { return parts_->recordSearch.bar; }
QWidget* MainWindow::ProfileBar() const { return parts_->profileSearch.bar; }
QSize MainWindow::LayoutMinimumSize() const { return MinimumMainWindowSize(*this); }

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  LayoutMainWindow(*this);
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // Shown, the window knows its frame, which the layout counts in.
  setMinimumSize(LayoutMinimumSize());
}

}  // namespace quenlo
