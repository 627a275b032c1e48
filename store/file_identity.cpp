#include "store/file_identity.h"

#include <sys/stat.h>

#include <QFile>

namespace quenlo {
namespace {

std::optional<struct stat> StatOf(const QString& path) {
  struct stat info {};
  if (::stat(QFile::encodeName(path).constData(), &info) != 0) return std::nullopt;
  return info;
}

FileIdentity IdentityFrom(const struct stat& info) {
  return FileIdentity{static_cast<unsigned long long>(info.st_dev),
                      static_cast<unsigned long long>(info.st_ino)};
}

}  // namespace

std::optional<FileIdentity> IdentityOf(const QString& path) {
  const std::optional<struct stat> info = StatOf(path);
  if (!info) return std::nullopt;
  return IdentityFrom(*info);
}

std::optional<FileIdentity> IdentityOfRegularFile(const QString& path) {
  const std::optional<struct stat> info = StatOf(path);
  if (!info || !S_ISREG(info->st_mode)) return std::nullopt;
  return IdentityFrom(*info);
}

}  // namespace quenlo
