// The formats read through the general import library. The library runs in
// tessera-import, a process of its own: a crash, a hang or memory without end
// on a hostile or unusual file ends that process, and this one is told the
// file was not read.
#include <sys/stat.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <utility>

#include "formats/hand_back.h"
#include "formats/readers.h"
#include "platform/child_process.h"
#include "platform/platform.h"
#include "platform/read_progress.h"

namespace {

constexpr const char* kImporterFailed = "the importer failed on this file";

ReadResult importerFailed(const char* name, const std::string& how) {
  debugMessage("File, %s, tessera-import %s.\n", name, how.c_str());
  ReadResult result(ReadFailure::NotOpened);
  result.userReason = kImporterFailed;
  return result;
}

}  // namespace

ReadResult readImportedFile(const char* name) {
  // What the child cannot open is said as any reader says it.
  struct stat info {};
  if (stat(name, &info) != 0) return refuseUnopened(name);
  if (S_ISDIR(info.st_mode)) {
    errno = EISDIR;
    return refuseUnopened(name);
  }
  const std::string program = helperProgramPath("TESSERA_IMPORT_PROGRAM", "tessera-import", TESSERA_IMPORT_FROM_BINDIR);
  ChildRun run = runChild(program, {name});
  // Its own messages are ours for developers.
  if (!run.errors.empty()) platformDebugOutput(run.errors);
  switch (run.outcome) {
    case ChildOutcome::Exited: break;
    case ChildOutcome::Cancelled: return ReadFailure::Damaged;  // the result is thrown away
    case ChildOutcome::NotStarted: return importerFailed(name, std::string("could not be started: ") + std::strerror(run.error));
    case ChildOutcome::Signalled: return importerFailed(name, std::string("ended by signal ") + strsignal(run.signal));
    case ChildOutcome::TimedOut: return importerFailed(name, "ran past its time and was stopped");
    case ChildOutcome::TooMuchOutput: return importerFailed(name, "handed back more than a model may be");
  }
  if (run.exitStatus != 0 && run.output.empty()) {
    return importerFailed(name, "ended with status " + std::to_string(run.exitStatus));
  }
  HandBack handBack;
  std::string why;
  if (!parseHandBack(run.output, handBack, why)) return importerFailed(name, "handed back a stream that " + why);
  run.output = {};
  if (!handBack.failure.empty()) {
    const std::string reason = "cannot be read by the import library: " + handBack.failure;
    return refuseDamaged(name, reason.c_str());
  }
  return modelOfHandBack(std::move(handBack), name);
}
