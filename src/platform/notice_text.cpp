#include "platform/platform.h"

std::string_view noticeText(NoticeKind kind) {
  switch (kind) {
    case NoticeKind::FileNotFound:
      return "FILE NOT FOUND: It may have been moved or deleted.";
    case NoticeKind::FileNotSupported:
      return "FILE NOT SUPPORTED: The format of the file is unknown.";
    case NoticeKind::About:
      return "Tessera";
  }
  return "";
}
