// quenlo's view of the worker protocol (worker/protocol.h, where every
// separator, flag and result-file name is spelled): the same texts as QString.
#pragma once

#include "worker/protocol.h"

#include <QString>
#include <string_view>

namespace quenlo {

inline QString FromProtocol(std::string_view text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

inline const QString kCommandSeparator = FromProtocol(pitrel::kCommandSeparator);
inline const QString kFieldSeparator = FromProtocol(pitrel::kFieldSeparator);
inline const QString kSearchPageResultPrefix = FromProtocol(pitrel::kSearchPageResultPrefix);
inline const QString kMemberResultPrefix = FromProtocol(pitrel::kMemberResultPrefix);

}  // namespace quenlo
