#include "store/connection_pool.h"

#include "store/database.h"

namespace quenlo {
namespace {

std::shared_ptr<ConnectionImpl>& Pooled() {
  static std::shared_ptr<ConnectionImpl> pooled;
  return pooled;
}

}  // namespace

std::shared_ptr<ConnectionImpl> AcquireSharedConnection(QString* error) {
  std::shared_ptr<ConnectionImpl>& pooled = Pooled();
  const QString path = DatabasePath();
  if (pooled && (pooled->Path() != path || !pooled->StillMatchesFile())) {
    // Close the stale connection before opening the new file, so that its
    // closing does not touch the journal files of the new one.
    pooled.reset();
  }
  if (!pooled) pooled = ConnectionImpl::Open(path, error);
  return pooled;
}

void DbReleaseSharedConnection() { Pooled().reset(); }

}  // namespace quenlo
