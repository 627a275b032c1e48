// A benchmark's own statements must work, or its figures mean nothing: a
// failure ends the run with the store's message.
#pragma once

#include <cstdio>
#include <cstdlib>

#include "store/db_status.h"

namespace quenlo {

inline void MustSucceed(const DbStatus& status) {
  if (status.Ok()) return;
  std::fprintf(stderr, "%s (%s)\n", status.Message().toLocal8Bit().constData(),
               status.Reason().toLocal8Bit().constData());
  std::exit(1);
}

}  // namespace quenlo
