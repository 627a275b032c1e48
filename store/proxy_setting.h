// The proxy quenlo's pages go through: QUENLO_PROXY when set, else the
// setting (application "Pitrel", section "Network", key "Proxy"), else none
// of quenlo's own, and the environment's http_proxy, https_proxy and
// no_proxy hold as they stand. A value is a proxy address as those
// variables take it: http://[user:password@]host:port. Read fresh on every
// call.
#pragma once

#include <QList>
#include <QPair>
#include <QString>

namespace quenlo {

inline constexpr char kNetworkSection[] = "Network";
inline constexpr char kProxyKey[] = "Proxy";
inline constexpr char kProxyVariable[] = "QUENLO_PROXY";

// Empty when quenlo names no proxy of its own.
QString ProxyInForce();

// The (variable, value) pairs quenlo sets in each worker's environment so
// that its pages take the same proxy, for http and https alike; none when
// quenlo names no proxy.
QList<QPair<QString, QString>> WorkerProxyEnvironment();

}  // namespace quenlo
