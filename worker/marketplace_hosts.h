// The marketplace's hosts. Compiled-in defaults, each overridden by an
// environment variable (a value may carry a port: 127.0.0.1:8080).
// Header-only, so that quenlo can name the same defaults without linking
// anything of the worker.
#pragma once

namespace pitrel {

inline constexpr char kDefaultMainHost[] = "china.alibaba.com";
inline constexpr char kDefaultSearchHost[] = "search.china.alibaba.com";
inline constexpr char kDefaultMemberDomain[] = "cn.alibaba.com";
inline constexpr char kDefaultDirectoryHost[] = "detail.china.alibaba.com";

inline constexpr char kMainHostVariable[] = "QUENLO_MAIN_HOST";
inline constexpr char kSearchHostVariable[] = "QUENLO_SEARCH_HOST";
inline constexpr char kMemberDomainVariable[] = "QUENLO_MEMBER_DOMAIN";
inline constexpr char kDirectoryHostVariable[] = "QUENLO_DIRECTORY_HOST";

}  // namespace pitrel
