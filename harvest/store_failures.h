// A statement that fails while a harvest stores results (database locked,
// disk full) must not end the harvest: the first failure is shown, later ones
// are counted and summed up at the end, and the harvest goes on.
#pragma once

#include <QString>

namespace quenlo {

class StoreFailures {
 public:
  void Report(const QString& member, const QString& error);
  // Tells the user how many more failed after the first one, if any.
  void Finish();
  // Failures reported so far, the first one included.
  int Count() const { return count_; }

 private:
  int count_ = 0;
};

}  // namespace quenlo
