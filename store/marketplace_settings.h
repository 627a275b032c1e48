// The marketplace's hosts as quenlo uses them. Each host is read, in order of
// precedence, from its environment variable (QUENLO_MAIN_HOST, ...), from the
// settings (application "Pitrel", section "Marketplace"), or from the
// compiled-in defaults shared with the worker. A value may carry a port and
// a scheme ("https://127.0.0.1:8443"); without a scheme it is http.
#pragma once

#include <QList>
#include <QPair>
#include <QString>

namespace quenlo {

inline constexpr char kMarketplaceSection[] = "Marketplace";
inline constexpr char kMainHostKey[] = "MainHost";
inline constexpr char kSearchHostKey[] = "SearchHost";
inline constexpr char kMemberDomainKey[] = "MemberDomain";
inline constexpr char kDirectoryHostKey[] = "DirectoryHost";

struct MarketplaceHosts {
  QString main;
  QString search;
  QString memberDomain;
  QString directory;
};

// The hosts in force right now (read fresh on every call).
MarketplaceHosts MarketplaceHostsInForce();

// The (variable, value) pairs quenlo sets in each worker's environment so that
// the worker uses the same hosts as quenlo.
QList<QPair<QString, QString>> WorkerHostEnvironment();

}  // namespace quenlo
