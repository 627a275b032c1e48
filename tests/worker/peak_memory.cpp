// peak-memory OUT PROGRAM [ARG...]: runs PROGRAM and writes its exit status
// (-1 when a signal ended it) and the most memory it held at once (resident,
// KiB) to OUT. A test cannot measure its own child: a child that execs
// reports the resident size of the process it was forked from as well, and a
// test holding its pages in memory is larger than the worker it measures.
// This program is small, so the children it forks are too.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char* argv[]) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: peak-memory OUT PROGRAM [ARG...]\n");
    return 2;
  }
  const pid_t child = fork();
  if (child == 0) {
    execv(argv[2], argv + 2);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (child < 0 || wait4(child, &status, 0, &usage) != child) return 1;
  std::FILE* out = std::fopen(argv[1], "w");
  if (!out) return 1;
  std::fprintf(out, "%d %ld\n", WIFEXITED(status) ? WEXITSTATUS(status) : -1, usage.ru_maxrss);
  return std::fclose(out) == 0 ? 0 : 1;
}
