// Result files in a scratch directory: bytes, stale files and retry names.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "worker/protocol.h"
#include "worker/result_file.h"

namespace pitrel {
namespace {

namespace fs = std::filesystem;

class ResultFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("pitrel_result_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  std::string Read(const std::string& name) const {
    std::ifstream in(dir_ / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
  }

  fs::path dir_;
};

TEST_F(ResultFileTest, WritesGb18030BytesWithNothingAdded) {
  ASSERT_EQ(WriteResultOnce(std::string(kFieldSeparator) + "a'’\r\nb", Path("out")), 1);
  EXPECT_EQ(Read("out"),
            "\xA1\xBD\xA1\xEF\xA1\xBC"
            "a'\xA1\xAF\r\nb");
  EXPECT_FALSE(fs::exists(TemporaryResultFile(Path("out"))));
}

TEST_F(ResultFileTest, CharactersOutsideGbkSurviveAsGb18030) {
  ASSERT_EQ(WriteResultOnce("•€", Path("out")), 1);
  EXPECT_EQ(Read("out"), "\x81\x36\xA6\x31\xA2\xE3");
}

TEST_F(ResultFileTest, ReplacesStaleResultAndTemporaryFile) {
  Write("out", "old result, longer than the new one");
  Write(TemporaryResultFile("out"), "half-written leftover");
  EXPECT_EQ(SaveResult("new", Path("out")), Path("out"));
  EXPECT_EQ(Read("out"), "new");
  EXPECT_FALSE(fs::exists(TemporaryResultFile(Path("out"))));
}

TEST_F(ResultFileTest, EmptyResultIsOneSpace) {
  EXPECT_EQ(SaveResult("", Path("out")), Path("out"));
  EXPECT_EQ(Read("out"), " ");
}

// A name that stays blocked: every attempt uses it, then the worker gives
// up. "out1" may be another member's result and is never touched.
TEST_F(ResultFileTest, ABlockedNameIsRetriedThenGivenUpWithoutOtherNames) {
  fs::create_directory(dir_ / "out");
  {
    std::ofstream other(dir_ / "out1", std::ios::binary);
    other << "member out1";
  }
  EXPECT_EQ(WriteResultOnce("r", Path("out")), -1);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(SaveResult("r", Path("out")), "");
  // 31 failed attempts, each followed by a pause of about 0.1 s.
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(3000));
  EXPECT_EQ(Read("out1"), "member out1");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
}

TEST(WaitTicks, PausesInProportionAndNotAtAllBelowZero) {
  using namespace std::chrono;
  auto timed = [](int ticks) {
    const auto start = steady_clock::now();
    WaitTicks(ticks);
    return steady_clock::now() - start;
  };
  EXPECT_LT(timed(-1), milliseconds(20));
  EXPECT_GE(timed(1000), milliseconds(100));
  EXPECT_LT(timed(1000), milliseconds(1000));
}

}  // namespace
}  // namespace pitrel
