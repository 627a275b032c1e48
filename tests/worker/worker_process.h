// Starting a real worker program for a test: in a chosen directory, with the
// test's environment and a few NAME=VALUE lines in place of any it holds
// under those names, and waiting for its end.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

extern char** environ;

namespace pitrel::testing {

inline const std::string kPitrelProgram = std::string(QUENLO_BUILD_DIR) + "/pitrel";

inline pid_t StartWorker(const std::string& program, const std::vector<std::string>& args,
                         const std::filesystem::path& cwd,
                         const std::vector<std::string>& extraEnvironment) {
  const auto overridden = [&](std::string_view line) {
    return std::any_of(extraEnvironment.begin(), extraEnvironment.end(),
                       [&](const std::string& extra) {
                         return line.starts_with(extra.substr(0, extra.find('=') + 1));
                       });
  };
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e)
    if (!overridden(*e)) env.emplace_back(*e);
  env.insert(env.end(), extraEnvironment.begin(), extraEnvironment.end());
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  const std::string where = cwd.string();
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::chdir(where.c_str()) == 0) ::execve(argv[0], argv.data(), envp.data());
    ::_exit(127);
  }
  return pid;
}

// Exit status, or -1 when the worker had to be killed after a minute.
inline int WaitForWorker(pid_t pid) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  int status = 0;
  while (::waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace pitrel::testing
