// How a failed SQLite call travels inside the store: the statement wrapper
// throws it, and the public operations catch it and return a DbStatus.
// Internal to the store; nothing outside it sees one.
#pragma once

#include <stdexcept>

namespace quenlo {

struct DbError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

}  // namespace quenlo
