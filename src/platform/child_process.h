#pragma once
// Running a helper program of ours in a process of its own, so that whatever
// goes wrong in it (a crash, a hang, memory without end) ends that process
// and never the caller: its output read up to a bound, its time and memory
// limited, and the run stopped when the read it works for is cancelled.

#include <cstdint>
#include <string>
#include <vector>

struct ChildLimits {
  std::uint64_t addressSpace = std::uint64_t{4} << 30;  // RLIMIT_AS
  int seconds = 60;                                      // of processor time and of the clock
  std::uint64_t outputBytes = std::uint64_t{1} << 30;    // standard output beyond this ends the run
};

enum class ChildOutcome {
  Exited,       // ended by itself: `exitStatus` says how
  Signalled,    // killed by a signal of its own doing (`signal`)
  TimedOut,     // still running after the limit: killed
  TooMuchOutput,
  Cancelled,    // the read it worked for was cancelled: killed
  NotStarted,   // `error` is the errno
};

struct ChildRun {
  ChildOutcome outcome = ChildOutcome::NotStarted;
  int exitStatus = -1;
  int signal = 0;
  int error = 0;
  std::vector<std::uint8_t> output;  // standard output
  std::string errors;                // standard error, its first 64 KiB
};

// Runs `program` with `arguments` (argv[1] on), standard input closed to
// /dev/null; returns when it has ended or been killed. Looks at the cancel
// flag of this thread's read (platform/read_progress.h) ten times a second.
ChildRun runChild(const std::string& program, const std::vector<std::string>& arguments,
                  const ChildLimits& limits = {});

// A helper program of ours: `variable`'s value where it is set (tests and
// development), else `name` beside this program (the build), else the path
// `fromBindir` leads to from this program's folder (installed: libexec).
std::string helperProgramPath(const char* variable, const char* name, const char* fromBindir);
