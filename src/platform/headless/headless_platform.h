#pragma once
// What the headless platform records, so tests can see notices and messages
// that a window system would have shown.

#include <string>

struct HeadlessRecord {
  int noticeCount = 0;
  std::string lastNotice;         // the kind's own words
  std::string lastNoticeDetails;  // the lines below them
  int noticeX = 0;
  int noticeY = 0;
  int messageBoxCount = 0;
  int redrawRequests = 0;
  int noticeAnchor[4] = {0, 0, 0, 0};  // where notices are placed
};

extern HeadlessRecord headlessRecord;

