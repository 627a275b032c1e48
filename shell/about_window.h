// Rightform: who makes this program and how to reach them. Its picture opens
// the maker's web site; OK closes it.
#pragma once

#include <QWidget>

class QPushButton;

namespace quenlo {

inline constexpr char kAboutTitle[] = "版权说明";

class AboutWindow final : public QWidget {
  Q_OBJECT
 public:
  AboutWindow();
  QWidget* Picture() const { return picture_; }
  QPushButton* OkButton() const { return ok_; }

 private:
  QWidget* picture_;
  QPushButton* ok_;
};

// Shows the one about window (modeless, centred, top-most), creating it if needed.
AboutWindow& ShowAboutWindow();

}  // namespace quenlo
