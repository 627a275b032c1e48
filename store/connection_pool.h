// The one keyed connection shared by the database operations. Keying an
// SQLCipher file costs tens of milliseconds, so the operations borrow this
// connection instead of opening their own. It is dropped and reopened when
// the database path changes or the file behind it is deleted or replaced,
// but never while a transaction or a statement is open on it: the work in
// progress finishes on the connection it began on.
// Internal to the store; window thread only.
#pragma once

#include <QString>
#include <memory>

#include "store/keyed_connection.h"

namespace quenlo {

// The shared connection to DatabasePath(), opened when needed. Null with a
// reason in *error when the file cannot be opened.
std::shared_ptr<ConnectionImpl> AcquireSharedConnection(QString* error);

}  // namespace quenlo
