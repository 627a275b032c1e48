// Reaching the implementation behind the public handles. Internal to the store.
#pragma once

#include <memory>

#include "store/database.h"
#include "store/recordset_impl.h"

namespace quenlo {

class ConnectionAccess {
 public:
  static std::shared_ptr<ConnectionImpl>& Impl(Connection& connection) { return connection.impl_; }
};

class RecordsetAccess {
 public:
  static std::unique_ptr<RecordsetImpl>& Impl(Recordset& records) { return records.impl_; }
};

}  // namespace quenlo
