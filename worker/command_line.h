// The worker's command line: page, result-file name and worker flag joined
// by "‖" (U+2016), e.g.  http://host/page.html‖Temp_abc‖1
#pragma once

#include <string>
#include <string_view>

#include "worker/hosts.h"

namespace pitrel {

inline constexpr std::string_view kCommandSeparator = "‖";

// 0 member list (also when missing or not a number), 1 contact,
// 2 company profile, 3 trade credit; any other value writes nothing.
enum WorkerFlag : int { kMemberList = 0, kContact = 1, kProfile = 2, kTradeCredit = 3 };

struct WorkerJob {
  std::string url;          // for flag 2 already the company-profile URL
  std::string result_file;  // as given; relative names resolve against the current directory
  int flag = kMemberList;
};

// The arguments after the program name, joined by single spaces, so that a
// line the shell split into several arguments reads as the whole text again.
std::string JoinArguments(int argc, const char* const argv[]);

// False when the URL or the result-file name is missing or empty: the worker
// then ends without loading or writing anything. An empty line runs a
// built-in test job.
bool ParseCommandLine(std::string_view commandLine, const MarketplaceHosts& hosts, WorkerJob& job);

std::string CompanyProfileUrl(std::string_view memberName, const MarketplaceHosts& hosts);

}  // namespace pitrel
