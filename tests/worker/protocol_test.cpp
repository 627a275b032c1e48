// The quenlo–pitrel protocol: its bytes are fixed (workers and harvests of
// other builds, and every result file already written, read them), and a
// line quenlo composes is the job the worker reads.
#include "worker/protocol.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "worker/command_line.h"

namespace pitrel {
namespace {

TEST(Protocol, SeparatorsFlagsAndNamesKeepTheirBytes) {
  EXPECT_EQ(kCommandSeparator, "\u2016");
  EXPECT_EQ(kFieldSeparator, "\u3017\u2605\u3016");
  EXPECT_EQ(kSeparatorInText, "\u3017\u2606\u3016");
  EXPECT_EQ(kCommandSeparator, "\xE2\x80\x96");  // the code points above in UTF-8
  EXPECT_EQ((std::vector<int>{kMemberListFlag, kContactFlag, kProfileFlag, kTradeCreditFlag}),
            (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(SearchPageResultFile(1), "TempPage_0");
  EXPECT_EQ(SearchPageResultFile(2), "TempPage_2");
  EXPECT_EQ(MemberResultFile("abc123"), "Temp_abc123");
  EXPECT_EQ(ResultFileFor(kTradeCreditFlag, "Temp_abc"), "Temp_abc.t");
  EXPECT_EQ(ResultFileFor(kContactFlag, "Temp_abc"), "Temp_abc");
  EXPECT_EQ(TemporaryResultFile("Temp_abc"), "Temp_abc.TMP");
  EXPECT_STREQ(kResultEncoding, "GB18030");
}

TEST(Protocol, TheWorkerReadsTheLineQuenloComposes) {
  const MarketplaceHosts hosts{"main.test", "search.test", "members.test", "dir.test"};
  const std::string search = "http://search.test/s?keywords=%CD%F8&n=y 2";
  for (int flag : {kMemberListFlag, kContactFlag, kTradeCreditFlag, 7, -1}) {
    WorkerJob job;
    ASSERT_TRUE(ParseCommandLine(WorkerCommandLine(search, "TempPage_2", flag), hosts, job));
    EXPECT_EQ(job.url, search);
    EXPECT_EQ(job.result_file, "TempPage_2");
    EXPECT_EQ(job.flag, flag);
  }
  WorkerJob profile;
  ASSERT_TRUE(ParseCommandLine(WorkerCommandLine("abc", MemberResultFile("abc"), kProfileFlag),
                               hosts, profile));
  EXPECT_EQ(profile.url, "http://main.test/company/detail/intro/abc.html");
  EXPECT_EQ(profile.result_file, "Temp_abc");
}

TEST(Protocol, FieldsKeepTheirPositionsWhateverTheirText) {
  const std::string separator(kFieldSeparator), inText(kSeparatorInText);
  EXPECT_EQ(JoinFields({"a", "", "b"}), "a" + separator + separator + "b");
  EXPECT_EQ(JoinFields({"x" + separator + "y" + separator, "z"}),
            "x" + inText + "y" + inText + separator + "z");
  EXPECT_EQ(JoinFields({}), "");
}

}  // namespace
}  // namespace pitrel
