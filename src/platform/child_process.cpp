#include "platform/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <string_view>

#include "platform/read_progress.h"

namespace {

constexpr std::size_t kErrorsKept = 64 * 1024;

// An address-sanitized child reserves terabytes of shadow memory as it
// starts, which an address-space limit would refuse: such a child is held by
// the sanitizer's own limit on the memory it really uses instead.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitizedAddresses = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitizedAddresses = true;
#else
constexpr bool kSanitizedAddresses = false;
#endif
#else
constexpr bool kSanitizedAddresses = false;
#endif

// The child's environment: the caller's, with the sanitizer's memory limit
// where the child is sanitized.
std::vector<std::string> childEnvironment(const ChildLimits& limits) {
  std::vector<std::string> environment;
  std::string sanitizerOptions;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string_view text = *entry;
    if (kSanitizedAddresses && text.starts_with("ASAN_OPTIONS=")) {
      sanitizerOptions = std::string(text.substr(13)) + ":";
    } else {
      environment.emplace_back(text);
    }
  }
  if (kSanitizedAddresses) {
    // A fault in the import library stays a signal, as in any other build.
    environment.push_back("ASAN_OPTIONS=" + sanitizerOptions + "handle_segv=0:handle_abort=0:hard_rss_limit_mb=" +
                          std::to_string(limits.addressSpace >> 20));
  }
  return environment;
}

void closeIfOpen(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

// Between fork and exec only async-signal-safe calls: the child of a
// threaded program holds copies of locks other threads may have held.
[[noreturn]] void becomeChild(const char* program, char* const* argv, char* const* envp, int out, int err,
                              const ChildLimits& limits) {
  const int nothing = open("/dev/null", O_RDONLY);
  if (nothing < 0 || dup2(nothing, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(127);
  const rlim_t memory = static_cast<rlim_t>(limits.addressSpace);
  const rlim_t seconds = static_cast<rlim_t>(limits.seconds);
  const struct rlimit as {memory, memory}, cpu{seconds, seconds + 1}, core{0, 0};
  if (!kSanitizedAddresses) setrlimit(RLIMIT_AS, &as);
  setrlimit(RLIMIT_CPU, &cpu);
  setrlimit(RLIMIT_CORE, &core);
  // Signals the caller ignores or blocks would stay so across exec.
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  signal(SIGPIPE, SIG_DFL);
  execve(program, argv, envp);
  _exit(127);
}

}  // namespace

ChildRun runChild(const std::string& program, const std::vector<std::string>& arguments, const ChildLimits& limits) {
  ChildRun run;
  std::vector<std::string> words{program};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  std::vector<std::string> environment = childEnvironment(limits);
  std::vector<char*> envp;
  for (std::string& entry : environment) envp.push_back(entry.data());
  envp.push_back(nullptr);

  int out[2] = {-1, -1}, err[2] = {-1, -1};
  if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
    run.error = errno;
    for (int* fd : {&out[0], &out[1], &err[0], &err[1]}) closeIfOpen(*fd);
    return run;
  }
  const pid_t pid = fork();
  if (pid == 0) becomeChild(program.c_str(), argv.data(), envp.data(), out[1], err[1], limits);
  closeIfOpen(out[1]);
  closeIfOpen(err[1]);
  if (pid < 0) {
    run.error = errno;
    closeIfOpen(out[0]);
    closeIfOpen(err[0]);
    return run;
  }

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(limits.seconds);
  std::uint8_t buffer[65536];
  int status = 0;
  bool ended = false;
  run.outcome = ChildOutcome::Exited;
  while (!ended) {
    if (readCancelled()) run.outcome = ChildOutcome::Cancelled;
    else if (std::chrono::steady_clock::now() >= deadline) run.outcome = ChildOutcome::TimedOut;
    else if (run.output.size() > limits.outputBytes) run.outcome = ChildOutcome::TooMuchOutput;
    if (run.outcome != ChildOutcome::Exited) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      break;
    }
    if (out[0] < 0 && err[0] < 0) {
      // Both streams closed: the child is ending, or holds on without them.
      const pid_t done = waitpid(pid, &status, WNOHANG);
      if (done == pid) ended = true;
      else poll(nullptr, 0, 100);
      continue;
    }
    pollfd watched[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    if (poll(watched, 2, 100) < 0 && errno != EINTR) {
      run.outcome = ChildOutcome::NotStarted;
      run.error = errno;
      continue;
    }
    for (int k = 0; k < 2; ++k) {
      if (watched[k].fd < 0 || watched[k].revents == 0) continue;
      int& fd = k == 0 ? out[0] : err[0];
      const ssize_t got = read(fd, buffer, sizeof buffer);
      if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
      if (got <= 0) {
        closeIfOpen(fd);
      } else if (k == 0) {
        run.output.insert(run.output.end(), buffer, buffer + got);
      } else if (run.errors.size() < kErrorsKept) {
        run.errors.append(reinterpret_cast<const char*>(buffer),
                          std::min<std::size_t>(static_cast<std::size_t>(got), kErrorsKept - run.errors.size()));
      }
    }
  }
  closeIfOpen(out[0]);
  closeIfOpen(err[0]);
  if (run.outcome == ChildOutcome::Exited && WIFSIGNALED(status)) {
    // The processor limit ends it with SIGXCPU.
    run.outcome = WTERMSIG(status) == SIGXCPU ? ChildOutcome::TimedOut : ChildOutcome::Signalled;
    run.signal = WTERMSIG(status);
  } else if (run.outcome == ChildOutcome::Exited) {
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  if (run.outcome != ChildOutcome::Exited && run.outcome != ChildOutcome::Signalled) run.output.clear();
  return run;
}

std::string helperProgramPath(const char* variable, const char* name, const char* fromBindir) {
  if (const char* given = std::getenv(variable); given != nullptr && *given != '\0') return given;
  char self[4096];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  std::string folder;
  if (length > 0) {
    const std::string path(self, static_cast<std::size_t>(length));
    folder = path.substr(0, path.rfind('/') + 1);
  }
  const std::string beside = folder + name;
  if (access(beside.c_str(), X_OK) == 0) return beside;
  return folder + fromBindir;
}
