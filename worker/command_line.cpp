#include "worker/command_line.h"

#include <vector>

#include "worker/leading_number.h"
#include "worker/marketplace_hosts.h"
#include "worker/text_cut.h"

namespace pitrel {
namespace {

// A job that needs no caller: a contact page of a sample member into ./tt.t.
std::string TestLine() { return WorkerCommandLine("samplemember", "./tt.t", kContactFlag); }

std::vector<std::string> Fields(std::string_view line) {
  std::vector<std::string> fields;
  std::size_t pos = 0;
  for (std::size_t hit; (hit = line.find(kCommandSeparator, pos)) != std::string_view::npos;
       pos = hit + kCommandSeparator.size()) {
    fields.emplace_back(line.substr(pos, hit - pos));
  }
  fields.emplace_back(line.substr(pos));
  return fields;
}

}  // namespace

std::string JoinArguments(int argc, const char* const argv[]) {
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) line.push_back(' ');
    line.append(argv[i]);
  }
  return line;
}

std::string CompanyProfileUrl(std::string_view memberName, const MarketplaceHosts& hosts) {
  return SiteAddress(hosts.main_host) + "/company/detail/intro/" + std::string(memberName) +
         ".html";
}

bool ParseCommandLine(std::string_view commandLine, const MarketplaceHosts& hosts, WorkerJob& job) {
  job = WorkerJob{};
  std::string line = Trim(commandLine);
  if (line.empty()) line = TestLine();

  const std::vector<std::string> fields = Fields(line);
  if (fields.size() >= 2) {
    job.url = fields[0];
    job.result_file = fields[1];
  }
  if (fields.size() >= 3)
    job.flag = RoundToInt16(LeadingNumber(fields[2])).value_or(kMemberListFlag);

  if (job.url.empty() || job.result_file.empty()) return false;
  if (job.flag == kProfileFlag) job.url = CompanyProfileUrl(job.url, hosts);
  return true;
}

}  // namespace pitrel
