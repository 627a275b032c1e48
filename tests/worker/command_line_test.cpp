#include <gtest/gtest.h>

#include "worker/command_line.h"
#include "worker/protocol.h"

namespace pitrel {
namespace {

const MarketplaceHosts kHosts{"main.test:8080", "search.test", "members.test", "dir.test"};

// The line as written, with each "|" standing for the command separator.
std::string Line(std::string_view written) {
  std::string line;
  for (char c : written) {
    if (c == '|') line.append(kCommandSeparator);
    else line.push_back(c);
  }
  return line;
}

WorkerJob Parsed(std::string_view written, bool expectAccepted = true) {
  WorkerJob job;
  EXPECT_EQ(ParseCommandLine(Line(written), kHosts, job), expectAccepted) << written;
  return job;
}

TEST(ParseCommandLine, ThreeFieldsGivePageFileAndFlag) {
  const WorkerJob job = Parsed("http://a.test/p?q=1|Temp_abc|1");
  EXPECT_EQ(job.url, "http://a.test/p?q=1");
  EXPECT_EQ(job.result_file, "Temp_abc");
  EXPECT_EQ(job.flag, kContactFlag);
}

TEST(ParseCommandLine, MissingOrUnreadableFlagMeansMemberList) {
  EXPECT_EQ(Parsed("http://a.test/|TempPage_0").flag, kMemberListFlag);
  EXPECT_EQ(Parsed("http://a.test/|TempPage_0|").flag, kMemberListFlag);
  EXPECT_EQ(Parsed("http://a.test/|TempPage_0|x1").flag, kMemberListFlag);
  EXPECT_EQ(Parsed("http://a.test/|TempPage_0|99999").flag, kMemberListFlag);  // no 16-bit value
  EXPECT_EQ(Parsed("http://a.test/|out| 3 ").flag, kTradeCreditFlag);
  EXPECT_EQ(Parsed("http://a.test/|out|2.5").flag, kProfileFlag);  // halves to even
  EXPECT_EQ(Parsed("http://a.test/|out|-1").flag, -1);
  EXPECT_EQ(Parsed("http://a.test/|out|1|ignored|fields").flag, kContactFlag);
}

TEST(ParseCommandLine, FieldsAreTakenAsTheyStandInsideTheTrimmedLine) {
  const WorkerJob job = Parsed("  http://a.test/ | out  |1  ");
  EXPECT_EQ(job.url, "http://a.test/ ");
  EXPECT_EQ(job.result_file, " out  ");
}

TEST(ParseCommandLine, RejectsLinesWithoutPageOrFile) {
  Parsed("http://a.test/ out 1", false);
  Parsed("|out|1", false);
  Parsed("http://a.test/||1", false);
  Parsed("|", false);
}

TEST(ParseCommandLine, FlagTwoBuildsTheCompanyProfileAddress) {
  const WorkerJob job = Parsed("abc|Temp_abc|2");
  EXPECT_EQ(job.url, "http://main.test:8080/company/detail/intro/abc.html");
  EXPECT_EQ(job.result_file, "Temp_abc");
}

TEST(ParseCommandLine, EmptyLineRunsTheBuiltInContactJob) {
  const WorkerJob job = Parsed("   ");
  EXPECT_FALSE(job.url.empty());
  EXPECT_EQ(job.result_file, "./tt.t");
  EXPECT_EQ(job.flag, kContactFlag);
}

TEST(JoinArguments, RebuildsTheLineTheShellSplit) {
  const std::string y = Line("y|Temp_a"), b = Line("b|1");
  const char* argv[] = {"pitrel", "http://a.test/x", y.c_str(), b.c_str()};
  EXPECT_EQ(JoinArguments(4, argv), Line("http://a.test/x y|Temp_a b|1"));
  EXPECT_EQ(JoinArguments(1, argv), "");
}

}  // namespace
}  // namespace pitrel
