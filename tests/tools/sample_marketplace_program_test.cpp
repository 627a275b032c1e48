// The sample-marketplace program as a user starts it.
#include <httplib.h>

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Program {
  pid_t pid = 0;
  FILE* out = nullptr;  // its standard output
  FILE* err = nullptr;  // its standard error

  explicit Program(std::vector<std::string> args) {
    args.insert(args.begin(), QUENLO_BUILD_DIR "/sample-marketplace");
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    int out_pipe[2], err_pipe[2];
    if (pipe(out_pipe) != 0 || pipe(err_pipe) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out_pipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err_pipe[1], 2);
    posix_spawn_file_actions_addclose(&actions, out_pipe[0]);
    posix_spawn_file_actions_addclose(&actions, err_pipe[0]);
    posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out_pipe[1]);
    close(err_pipe[1]);
    out = fdopen(out_pipe[0], "r");
    err = fdopen(err_pipe[0], "r");
  }
  ~Program() {
    if (pid > 0) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
    if (out) fclose(out);
    if (err) fclose(err);
  }

  static std::string Line(FILE* stream) {
    char buffer[1024];
    if (!fgets(buffer, sizeof buffer, stream)) return "<end>";
    std::string line = buffer;
    if (!line.empty() && line.back() == '\n') line.pop_back();
    return line;
  }
  int Wait() {
    int status = 0;
    waitpid(pid, &status, 0);
    pid = 0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
};

TEST(SampleMarketplaceProgramTest, PrintsWhereItListensServesAndStopsOnTerm) {
  Program program({"--port", "0", "--members", "5", "--seed", "9"});
  std::string listening = Program::Line(program.out);
  const std::string prefix = "sample-marketplace listening on 127.0.0.1:";
  ASSERT_TRUE(listening.starts_with(prefix)) << listening;
  std::string port = listening.substr(prefix.size());
  EXPECT_EQ(Program::Line(program.out), "QUENLO_MAIN_HOST=127.0.0.1:" + port);
  EXPECT_EQ(Program::Line(program.out), "QUENLO_SEARCH_HOST=127.0.0.1:" + port);
  EXPECT_EQ(Program::Line(program.out), "QUENLO_MEMBER_DOMAIN=shop.sample.test");
  EXPECT_EQ(Program::Line(program.out), "QUENLO_DIRECTORY_HOST=dir.sample.test");

  httplib::Client client("127.0.0.1", std::stoi(port));
  httplib::Result page = client.Get("/company/anything/1.html");
  ASSERT_TRUE(page);
  EXPECT_EQ(page->status, 200);

  kill(program.pid, SIGTERM);
  EXPECT_EQ(program.Wait(), 0);
}

TEST(SampleMarketplaceProgramTest, RefusesBadOptionsWithAMessage) {
  for (std::vector<std::string> args : {std::vector<std::string>{"--faults", "boom@any"},
                                        {"--members", "0"},
                                        {"--latency", "soon"},
                                        {"--colour", "red"},
                                        {"--port"}}) {
    Program program(args);
    std::string message = Program::Line(program.err);
    EXPECT_TRUE(message.starts_with("sample-marketplace: ")) << message;
    EXPECT_EQ(program.Wait(), 2) << args.front();
  }
}

TEST(SampleMarketplaceProgramTest, HelpDocumentsTheFaultList) {
  Program program({"--help"});
  std::string help;
  for (std::string line = Program::Line(program.out); line != "<end>";
       line = Program::Line(program.out)) {
    help += line + "\n";
  }
  EXPECT_EQ(program.Wait(), 0);
  for (const char* word :
       {"--faults", "KIND@PAGE", "hang", "truncate", "garbage", "hostile", "hits<N>"}) {
    EXPECT_NE(help.find(word), std::string::npos) << word;
  }
}

}  // namespace
