#include "platform/headless/headless_platform.h"

#include <cstdio>
#include <string>

#include "platform/platform.h"

HeadlessRecord headlessRecord;

int* noticeAnchor() { return headlessRecord.noticeAnchor; }


void platformDebugOutput(std::string_view text) {
  // One line per call: the messages carry their own line end where they have one.
  std::fwrite(text.data(), 1, text.size(), stderr);
  if (text.empty() || text.back() != '\n') std::fputc('\n', stderr);
}

void platformShowNotice(NoticeKind kind, std::string_view details) {
  int x = 0, y = 0;
  noticePosition(x, y);
  std::string_view text = noticeText(kind);
  std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
  if (!details.empty()) std::fprintf(stderr, "%.*s\n", static_cast<int>(details.size()), details.data());
  ++headlessRecord.noticeCount;
  headlessRecord.lastNotice = std::string(text);
  headlessRecord.lastNoticeDetails = std::string(details);
  headlessRecord.noticeX = x;
  headlessRecord.noticeY = y;
}

// Notices are recorded one by one as they come.
NoticeGathering::NoticeGathering() = default;
NoticeGathering::~NoticeGathering() = default;

void platformMessageBox(std::string_view text, std::string_view caption) {
  std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(caption.size()), caption.data(),
               static_cast<int>(text.size()), text.data());
  ++headlessRecord.messageBoxCount;
}

void platformRequestRedraw() { ++headlessRecord.redrawRequests; }

void platformSwapBuffers() {}
