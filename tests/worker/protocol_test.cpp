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

TEST(Protocol, AFailureCompanionKeepsItsNameKeysAndExitStatuses) {
  EXPECT_EQ(FailureFileFor("Temp_abc"), "Temp_abc.fail");
  EXPECT_EQ(FailureFileFor(ResultFileFor(kTradeCreditFlag, "Temp_abc")), "Temp_abc.t.fail");
  EXPECT_EQ(FormatPageFailure({true, 503, 120, "HTTP 503"}),
            "kind=transient\nstatus=503\nretry-after=120\nreason=HTTP 503\n");
  EXPECT_EQ(FormatPageFailure({false, 0, std::nullopt, "certificate verify failed"}),
            "kind=permanent\nstatus=0\nreason=certificate verify failed\n");
  EXPECT_EQ((std::vector<int>{kExitPageRead, kExitBadCommandLine, kExitTransientFailure,
                              kExitPermanentFailure}),
            (std::vector<int>{0, 2, 3, 4}));
  EXPECT_EQ(ExitStatusFor(std::nullopt), 0);
  EXPECT_EQ(ExitStatusFor(PageFailure{true, 0, {}, ""}), 3);
  EXPECT_EQ(ExitStatusFor(PageFailure{false, 404, {}, ""}), 4);
  for (int status : {408, 429, 500, 502, 503, 504}) EXPECT_TRUE(IsTransientHttpStatus(status)) << status;
  for (int status : {200, 400, 401, 403, 404, 410, 501, 505}) EXPECT_FALSE(IsTransientHttpStatus(status)) << status;
}

TEST(Protocol, AReaderTakesWhatAWriterWroteAndSkipsWhatItDoesNotKnow) {
  const PageFailure written{false, 429, 7, "HTTP 429"};
  const std::optional<PageFailure> read = ParsePageFailure(FormatPageFailure(written));
  ASSERT_TRUE(read);
  EXPECT_FALSE(read->transient);
  EXPECT_EQ(read->status, 429);
  EXPECT_EQ(read->retry_after_seconds, 7);
  EXPECT_EQ(read->reason, "HTTP 429");

  const auto later = ParsePageFailure("future=1\r\nkind=transient\r\nreason=a=b\r\nstatus=x\r\n");
  ASSERT_TRUE(later);
  EXPECT_TRUE(later->transient);
  EXPECT_EQ(later->status, 0);
  EXPECT_FALSE(later->retry_after_seconds);
  EXPECT_EQ(later->reason, "a=b");
  EXPECT_FALSE(ParsePageFailure("status=500\nreason=no kind\n"));
  EXPECT_FALSE(ParsePageFailure("kind=maybe\n"));
  EXPECT_FALSE(ParsePageFailure(""));
  EXPECT_FALSE(ParsePageFailure("kind=permanent\nretry-after=-5\n")->retry_after_seconds);
}

}  // namespace
}  // namespace pitrel
