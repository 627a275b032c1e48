// Keeps the exports off the record base: an export replaces its target, and
// a target that is DATA.mdb or one of its journal files would destroy the
// records (or, as a journal, corrupt them at the next open).
#pragma once

#include <QString>

namespace quenlo {

// Whether fileName is the record base or one of its journal files (-journal,
// -wal, -shm): the same file by identity, whatever the name (a link, a hard
// link, another spelling of the path), or, for a file not there yet, the
// name one of them takes in the base's folder.
bool IsRecordBaseFile(const QString& fileName);

}  // namespace quenlo
