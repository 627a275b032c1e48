// Reading the worker's command line: page, result-file name and worker flag
// (the line's form is set out in worker/protocol.h).
#pragma once

#include <string>
#include <string_view>

#include "worker/hosts.h"
#include "worker/protocol.h"

namespace pitrel {

struct WorkerJob {
  std::string url;             // for flag 2 already the company-profile URL
  std::string result_file;     // as given; relative names resolve against the current directory
  int flag = kMemberListFlag;  // any int: one outside 0 to 3 writes nothing
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
