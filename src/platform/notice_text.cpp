#include "platform/platform.h"

std::string_view noticeText(NoticeKind kind) {
  switch (kind) {
    case NoticeKind::FileNotFound: return "FILE NOT FOUND: It may have been moved or deleted.";
    case NoticeKind::FileNotSupported: return "FILE NOT SUPPORTED: The format of the file is unknown.";
    case NoticeKind::FileNotRead: return "FILE NOT READ: It cannot be read.";
    case NoticeKind::FileRefused: return "FILE NOT SUPPORTED: This kind of file cannot be shown.";
    case NoticeKind::FileDamaged: return "FILE NOT READ: It is damaged or truncated.";
    case NoticeKind::FileEmpty: return "NOTHING TO SHOW: The file holds no faces, lines or points to draw.";
    case NoticeKind::FileNotSaved: return "FILE NOT SAVED: It could not be written; any earlier file is unchanged.";
    case NoticeKind::PictureNotUsed: return "PICTURE NOT SHOWN: It cannot be used as a background.";
    case NoticeKind::SettingsNotSaved: return "SETTINGS NOT SAVED: Changes will not be kept after this session.";
    case NoticeKind::OneFileAtATime: return "ONE FILE AT A TIME: The viewer shows one model; the others were not opened.";
    case NoticeKind::About: return "Tessera";
  }
  return "";
}

std::string_view noticeHeading(NoticeKind kind) {
  const std::string_view text = noticeText(kind);
  return text.substr(0, text.find(": "));
}

std::string_view noticeSentence(NoticeKind kind) {
  const std::string_view text = noticeText(kind);
  const std::size_t colon = text.find(": ");
  return colon == std::string_view::npos ? std::string_view{} : text.substr(colon + 2);
}
