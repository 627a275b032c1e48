#include "shell/main_window.h"

#include "shell/about_window.h"
#include "shell/form_helpers.h"
#include "shell/help_links.h"
#include "shell/main_window_layout.h"
#include "shell/main_window_parts.h"
#include "shell/url_opener.h"
#include "shell/user_manual.h"

#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>

namespace quenlo {
namespace {

struct CommandButton {
  int index;
  const char* caption;
};

// Page 0, left to right after the search boxes.
constexpr CommandButton kRecordCommands[] = {
    {2, "刷新"},           {1, "删除选定行"},   {4, "下载阿里会员名"}, {0, "下载会员地址"},
    {10, "下载企业介绍"},  {11, "中止介绍下载"}, {5, "导出显示记录"},   {3, "导出所有记录"},
};
constexpr CommandButton kHelpCommands[] = {
    {40, "更多帮助…"}, {41, "QQ在线帮助1"}, {42, "QQ在线帮助2"}, {45, "版 权 说 明"}};

constexpr const char* kSearchFields[] = {"01:会员编号", "02:公司名称", "03:联系人", "04:手机",
                                         "05:电话",     "06:传真",     "07:性别",   "08:职务",
                                         "09:地址",     "10:邮编",     "11:网址"};

// The field box offers its list only: every key is swallowed except the ones
// that move the focus on.
class SwallowKeys final : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    return key != Qt::Key_Tab && key != Qt::Key_Backtab;
  }
};

QObject* FirstChildOtherThan(const QObject* parent, const QObject* kept) {
  for (QObject* child : parent->children())
    if (child != kept) return child;
  return nullptr;
}

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), parts_(std::make_unique<Parts>()) {
  setObjectName(QStringLiteral("MF"));
  setWindowTitle(QStringLiteral("Quenlo1.0"));
  Parts& p = *parts_;

  auto* client = new QWidget(this);
  setCentralWidget(client);
  p.sst = new QFrame(client);
  p.sst->setObjectName(QStringLiteral("SST"));
  static_cast<QFrame*>(p.sst)->setFrameShape(QFrame::StyledPanel);
  p.tabBar = new QTabBar(p.sst);
  p.tabBar->setExpanding(false);
  p.tabBar->addTab(QStringLiteral("企业联系方式"));
  p.tabBar->addTab(QStringLiteral("使用帮助"));
  for (int i = 0; i < 2; ++i) {
    p.pages[i] = new QWidget(p.sst);
    p.pages[i]->setObjectName(QStringLiteral("Pic%1").arg(i));
  }
  connect(p.tabBar, &QTabBar::currentChanged, this, [this](int tab) {
    for (int i = 0; i < 2; ++i) parts_->pages[i]->setVisible(i == tab);
  });

  // Page 0: the condition "field contains keyword", the commands, the grid.
  p.recordBar = new QWidget(p.pages[0]);
  auto* bar = new QHBoxLayout(p.recordBar);
  bar->setContentsMargins(0, 0, 0, 0);
  bar->setSpacing(4);
  p.scmb = new QComboBox(p.recordBar);
  p.scmb->setObjectName(QStringLiteral("SCMB"));
  for (const char* field : kSearchFields) p.scmb->addItem(QString::fromUtf8(field));
  p.scmb->setCurrentIndex(1);
  p.scmb->installEventFilter(new SwallowKeys(p.scmb));
  auto* label1 = new QLabel(QStringLiteral("包含"), p.recordBar);
  label1->setObjectName(QStringLiteral("Label1"));
  p.skey = new QLineEdit(p.recordBar);
  p.skey->setObjectName(QStringLiteral("SKey"));
  connect(p.skey, &QLineEdit::returnPressed, this, [this] {
    if (!parts_->skey->text().isEmpty() && !parts_->scmb->currentText().isEmpty()) RunCommand(2);
  });
  bar->addWidget(p.scmb);
  bar->addWidget(label1);
  bar->addWidget(p.skey, 1);
  for (const CommandButton& c : kRecordCommands) {
    auto* button = new QPushButton(QString::fromUtf8(c.caption), p.recordBar);
    bar->addWidget(button);
    p.buttons[c.index] = button;
  }
  p.gridHost = new QWidget(p.pages[0]);
  p.gridHost->setObjectName(QStringLiteral("MSF"));
  auto* gridLayout = new QVBoxLayout(p.gridHost);
  gridLayout->setContentsMargins(0, 0, 0, 0);

  // Page 1: the manual and the help commands.
  p.help = new QPlainTextEdit(UserManualText(), p.pages[1]);
  p.help->setObjectName(QStringLiteral("THelp"));
  p.help->setReadOnly(true);
  p.frm = new QGroupBox(QStringLiteral("帮助"), p.pages[1]);
  p.frm->setObjectName(QStringLiteral("FRM"));
  auto* frameLayout = new QVBoxLayout(p.frm);
  for (const CommandButton& c : kHelpCommands) {
    auto* button = new QPushButton(QString::fromUtf8(c.caption), p.frm);
    frameLayout->addWidget(button);
    p.buttons[c.index] = button;
  }
  frameLayout->addStretch();

  p.lbl = new QLabel(QStringLiteral("已下载会员："), client);
  p.lbl->setObjectName(QStringLiteral("LBL"));

  for (auto& [index, button] : p.buttons) {
    button->setObjectName(QStringLiteral("Com%1").arg(index));
    connect(button, &QPushButton::clicked, this, [this, i = index] { RunCommand(i); });
    if (index < 40) SetButtonBackColor(index, kStartButtonColor);
  }

  BuildMenus();
  p.newEditionTimer = new QTimer(this);
  p.newEditionTimer->setObjectName(QStringLiteral("NewEditionTimer"));
  p.newEditionTimer->setInterval(10000);
  p.newEditionTimer->setSingleShot(true);
  connect(p.newEditionTimer, &QTimer::timeout, this, [this] {
    if (parts_->versionCheck) parts_->versionCheck();
  });

  // The shell's own commands: help links and the about window.
  SetCommandAction(40, [] { OpenUrl(HelpPageUrl()); });
  SetCommandAction(41, [] { OpenUrl(MessengerUrl(SupportAccount(1))); });
  SetCommandAction(42, [] { OpenUrl(MessengerUrl(SupportAccount(2))); });
  SetCommandAction(45, [] { ShowAboutWindow(); });
  for (const auto& entry : p.buttons) UpdateAvailability(entry.first);

  SetActiveProgress(&p.progress);
  SetActiveMessenger(&p.messenger);
  resize(ToPixelsX(15600, this), ToPixelsY(10800, this));
  LayoutMainWindow(*this);
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
  struct Item {
    const char* menu;
    const char* name;
    const char* caption;
    int command;  // -1: close the window, -2: the worker-limit dialog
  };
  static constexpr Item kItems[] = {
      {"文件(&F)", "mExit", "退出", -1},
      {"企业地址(&R)", "mDownMember", "下载会员", 4},
      {"企业地址(&R)", "mDownAddr", "下载地址", 0},
      {"企业地址(&R)", "mDeleteRows", "删除选定行", 1},
      {"企业地址(&R)", "mOutputDispRec", "导出显示记录", 5},
      {"企业地址(&R)", "mOutputAllRec", "导出所有记录", 3},
      {"设置(&S)", "mSetMaxThread", "下载线程数", -2},
      {"帮助(&H)", "m_HCom0", "更多帮助", 40},
      {"帮助(&H)", "m_HCom1", "QQ帮助 1", 41},
      {"帮助(&H)", "m_HCom2", "QQ帮助 2", 42},
      {"帮助(&H)", "m_HCom5", "关于软件", 45},
  };
  static const std::map<QString, QString> kMenuNames = {
      {QStringLiteral("文件(&F)"), QStringLiteral("m_File")},
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
    const int command = item.command;
    if (command == -1) {
      connect(action, &QAction::triggered, this, &QWidget::close);
    } else if (command == -2) {
      connect(action, &QAction::triggered, this, &MainWindow::ChangeWorkerLimit);
    } else {
      connect(action, &QAction::triggered, this, [this, command] { RunCommand(command); });
      parts_->menuItems[command].append(action);
    }
  }
}

QPushButton* MainWindow::Com(int index) const {
  const auto it = parts_->buttons.find(index);
  return it == parts_->buttons.end() ? nullptr : it->second;
}

void MainWindow::SetButtonBackColor(int index, quint32 windowsRgb) {
  QPushButton* button = Com(index);
  if (!button) return;
  parts_->backColors[index] = windowsRgb;
  const QColor color(windowsRgb & 0xFF, (windowsRgb >> 8) & 0xFF, (windowsRgb >> 16) & 0xFF);
  button->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; padding: 1px 6px; }")
                            .arg(color.name()));
}

quint32 MainWindow::ButtonBackColor(int index) const {
  const auto it = parts_->backColors.find(index);
  return it == parts_->backColors.end() ? 0 : it->second;
}

QLabel* MainWindow::Lbl() const { return parts_->lbl; }
QComboBox* MainWindow::Scmb() const { return parts_->scmb; }
QLineEdit* MainWindow::SKey() const { return parts_->skey; }
QWidget* MainWindow::GridHost() const { return parts_->gridHost; }
GridModel& MainWindow::Grid() { return parts_->grid; }
QWidget* MainWindow::TabStrip() const { return parts_->sst; }
QTabBar* MainWindow::TabBar() const { return parts_->tabBar; }
QWidget* MainWindow::Page(int index) const {
  return index >= 0 && index < int(parts_->pages.size()) ? parts_->pages[index] : nullptr;
}
QPlainTextEdit* MainWindow::HelpText() const { return parts_->help; }
QWidget* MainWindow::HelpFrame() const { return parts_->frm; }
QWidget* MainWindow::RecordBar() const { return parts_->recordBar; }

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  LayoutMainWindow(*this);
}

}  // namespace quenlo
