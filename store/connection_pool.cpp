#include "store/connection_pool.h"

#include "store/database.h"

namespace quenlo {
namespace {

std::shared_ptr<ConnectionImpl>& Pooled() {
  static std::shared_ptr<ConnectionImpl> pooled;
  return pooled;
}

// A second connection beside one holding a write transaction would wait for
// that lock until it gives up: the open one stays until its work is done.
bool MayLetGo(const ConnectionImpl& connection) { return !connection.HasWorkInProgress(); }

bool Outdated(const ConnectionImpl& connection, const QString& path) {
  return connection.Path() != path || !connection.StillNamesItsFile();
}

}  // namespace

std::shared_ptr<ConnectionImpl> AcquireSharedConnection(QString* error) {
  std::shared_ptr<ConnectionImpl>& pooled = Pooled();
  const QString path = DatabasePath();
  if (pooled && MayLetGo(*pooled) && Outdated(*pooled, path)) {
    // Close the stale connection before opening the new file, so that its
    // closing does not touch the journal files of the new one.
    pooled.reset();
  }
  if (!pooled) pooled = ConnectionImpl::Open(path, error);
  return pooled;
}

void DbReleaseSharedConnection() {
  if (Pooled() && MayLetGo(*Pooled())) Pooled().reset();
}

}  // namespace quenlo
