// Which file a path names: device and inode. Times are no part of it: a
// chmod, or a checkpoint by another process, leaves the file the same one.
// The record base's connection and the exports' guard against writing over
// the base both go by it.
#pragma once

#include <QString>
#include <optional>

namespace quenlo {

struct FileIdentity {
  unsigned long long device = 0;
  unsigned long long inode = 0;
  bool operator==(const FileIdentity&) const = default;
};

// The identity of whatever the path names (file or folder, links followed);
// nothing when there is nothing there.
std::optional<FileIdentity> IdentityOf(const QString& path);
// The same, only for a regular file.
std::optional<FileIdentity> IdentityOfRegularFile(const QString& path);

}  // namespace quenlo
