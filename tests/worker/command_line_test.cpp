#include <gtest/gtest.h>

#include "worker/command_line.h"

namespace pitrel {
namespace {

const MarketplaceHosts kHosts{"main.test:8080", "search.test", "members.test", "dir.test"};

WorkerJob Parsed(std::string_view line, bool expectAccepted = true) {
  WorkerJob job;
  EXPECT_EQ(ParseCommandLine(line, kHosts, job), expectAccepted) << line;
  return job;
}

TEST(ParseCommandLine, ThreeFieldsGivePageFileAndFlag) {
  const WorkerJob job = Parsed("http://a.test/p?q=1‖Temp_abc‖1");
  EXPECT_EQ(job.url, "http://a.test/p?q=1");
  EXPECT_EQ(job.result_file, "Temp_abc");
  EXPECT_EQ(job.flag, kContact);
}

TEST(ParseCommandLine, MissingOrUnreadableFlagMeansMemberList) {
  EXPECT_EQ(Parsed("http://a.test/‖TempPage_0").flag, kMemberList);
  EXPECT_EQ(Parsed("http://a.test/‖TempPage_0‖").flag, kMemberList);
  EXPECT_EQ(Parsed("http://a.test/‖TempPage_0‖x1").flag, kMemberList);
  EXPECT_EQ(Parsed("http://a.test/‖TempPage_0‖99999").flag, kMemberList);  // no 16-bit value
  EXPECT_EQ(Parsed("http://a.test/‖out‖ 3 ").flag, kTradeCredit);
  EXPECT_EQ(Parsed("http://a.test/‖out‖2.5").flag, kProfile);  // halves to even
  EXPECT_EQ(Parsed("http://a.test/‖out‖-1").flag, -1);
  EXPECT_EQ(Parsed("http://a.test/‖out‖1‖ignored‖fields").flag, kContact);
}

TEST(ParseCommandLine, FieldsAreTakenAsTheyStandInsideTheTrimmedLine) {
  const WorkerJob job = Parsed("  http://a.test/ ‖ out  ‖1  ");
  EXPECT_EQ(job.url, "http://a.test/ ");
  EXPECT_EQ(job.result_file, " out  ");
}

TEST(ParseCommandLine, RejectsLinesWithoutPageOrFile) {
  Parsed("http://a.test/ out 1", false);
  Parsed("‖out‖1", false);
  Parsed("http://a.test/‖‖1", false);
  Parsed("‖", false);
}

TEST(ParseCommandLine, FlagTwoBuildsTheCompanyProfileAddress) {
  const WorkerJob job = Parsed("abc‖Temp_abc‖2");
  EXPECT_EQ(job.url, "http://main.test:8080/company/detail/intro/abc.html");
  EXPECT_EQ(job.result_file, "Temp_abc");
}

TEST(ParseCommandLine, EmptyLineRunsTheBuiltInContactJob) {
  const WorkerJob job = Parsed("   ");
  EXPECT_FALSE(job.url.empty());
  EXPECT_EQ(job.result_file, "./tt.t");
  EXPECT_EQ(job.flag, kContact);
}

TEST(JoinArguments, RebuildsTheLineTheShellSplit) {
  const char* argv[] = {"pitrel", "http://a.test/x", "y‖Temp_a", "b‖1"};
  EXPECT_EQ(JoinArguments(4, argv), "http://a.test/x y‖Temp_a b‖1");
  EXPECT_EQ(JoinArguments(1, argv), "");
}

}  // namespace
}  // namespace pitrel
