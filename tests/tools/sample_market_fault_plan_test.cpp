#include "tools/sample_market/faults.h"

#include <gtest/gtest.h>

namespace sample_market {
namespace {

FaultPlan Parse(std::string_view text) {
  FaultPlan plan;
  std::string error;
  EXPECT_TRUE(ParseFaultPlan(text, &plan, &error)) << error;
  return plan;
}

TEST(SampleFaultPlanTest, ChoosesPagesByKindNumberMultipleAndName) {
  FaultPlan plan =
      Parse("500@contact:#3,reset@intro:%7,hang@search:2,garbage@credit:hz0001a,truncate@site:*");
  EXPECT_EQ(plan.For({PageKind::kContact, 3, "x"}), FaultKind::kServerError);
  EXPECT_EQ(plan.For({PageKind::kContact, 4, "y"}), std::nullopt);
  EXPECT_EQ(plan.For({PageKind::kProfile, 3, "x"}), std::nullopt);
  EXPECT_EQ(plan.For({PageKind::kProfile, 14, "z"}), FaultKind::kReset);
  EXPECT_EQ(plan.For({PageKind::kProfile, 0, "unknown"}), std::nullopt);
  EXPECT_EQ(plan.For({PageKind::kSearch, 2, {}}), FaultKind::kHang);
  EXPECT_EQ(plan.For({PageKind::kSearch, 1, {}}), std::nullopt);
  EXPECT_EQ(plan.For({PageKind::kCredit, 9, "hz0001a"}), FaultKind::kGarbage);
  EXPECT_EQ(plan.For({PageKind::kCredit, 9, "hz0001b"}), std::nullopt);
  EXPECT_EQ(plan.For({PageKind::kSite, 5, "q"}), FaultKind::kTruncate);
  EXPECT_FALSE(plan.hostile_names);
}

TEST(SampleFaultPlanTest, TheFirstMatchingFaultWinsAndAnyCoversEveryPage) {
  FaultPlan plan = Parse("500@contact:#3,slow@any,hostile");
  EXPECT_EQ(plan.For({PageKind::kContact, 3, "x"}), FaultKind::kServerError);
  EXPECT_EQ(plan.For({PageKind::kContact, 4, "x"}), FaultKind::kSlow);
  EXPECT_EQ(plan.For({PageKind::kAny, 0, {}}), FaultKind::kSlow);
  EXPECT_TRUE(plan.hostile_names);
  EXPECT_TRUE(Parse("").faults.empty());
}

// A page that fails its first K requests and then answers: what a retry meets.
TEST(SampleFaultPlanTest, AFaultOnTheFirstKRequestsLetsLaterRequestsThrough) {
  FaultPlan plan = Parse("500x1@contact:%20,429x2@search:2,503@intro:*");
  EXPECT_EQ(plan.For({PageKind::kContact, 40, "a"}, 1), FaultKind::kServerError);
  EXPECT_EQ(plan.For({PageKind::kContact, 40, "a"}, 2), std::nullopt);
  EXPECT_EQ(plan.For({PageKind::kSearch, 2, {}}, 2), FaultKind::kTooMany);
  EXPECT_EQ(plan.For({PageKind::kSearch, 2, {}}, 3), std::nullopt);
  EXPECT_EQ(plan.For({PageKind::kProfile, 1, "b"}, 50), FaultKind::kUnavailable);
}

TEST(SampleFaultPlanTest, RejectsMistakesWithAMessageAndKeepsThePlan) {
  for (std::string_view bad : {"boom@contact:#1", "500contact", "500@page:#1", "500@contact:#x",
                               "500@contact:%0", "500@search:abc", "500@contact:", "hostile,reset@",
                               "500x0@contact:*", "500xy@contact:*", "boomx2@contact:*"}) {
    FaultPlan plan = Parse("slow@any");
    std::string error;
    EXPECT_FALSE(ParseFaultPlan(bad, &plan, &error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
    EXPECT_EQ(plan.faults.size(), 1u) << bad;
  }
}

}  // namespace
}  // namespace sample_market
