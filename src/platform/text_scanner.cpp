#include "platform/text_scanner.h"

#include <algorithm>

#include <sys/stat.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <locale.h>

#include <fast_float/fast_float.h>

#include "platform/read_progress.h"

namespace {

constexpr int kEnd = -1;   // the input has no more characters
constexpr int kMore = -2;  // the character lies beyond the buffered window

// Numbers are read with the C locale's point whatever the user's locale says:
// model files are the same on every machine.
locale_t cLocale() {
  static locale_t locale = newlocale(LC_ALL_MASK, "C", nullptr);
  return locale;
}

bool isBlank(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool isDigit(int c) { return c >= '0' && c <= '9'; }
bool isHexDigit(int c) {
  return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
int lower(int c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

// The window of buffered characters that a token is collected from.
struct Window {
  const char* text;
  std::size_t size;
  bool more;  // characters may follow beyond size
  int at(std::size_t k) const {
    if (k < size) return static_cast<unsigned char>(text[k]);
    return more ? kMore : kEnd;
  }
};

float convertWithCLibrary(const char* text, std::size_t length, bool& ok) {
  std::string copy(text, length);
  char* stop = nullptr;
  float value = strtof_l(copy.c_str(), &stop, cLocale());
  ok = stop != copy.c_str();
  return value;
}

constexpr std::size_t kLineEndLook = std::size_t{64} << 10;

}  // namespace

bool endsLinesWithCr(const char* text, std::size_t size) {
  const std::size_t look = std::min(size, kLineEndLook);
  for (std::size_t k = 0; k < look; ++k) {
    if (text[k] == '\n') return false;
    if (text[k] == '\r') return k + 1 == size || text[k + 1] != '\n';
  }
  return false;
}

bool crsToLineFeeds(char* text, std::size_t size, bool textEnds) {
  char* p = text;
  char* const end = text + size;
  while ((p = static_cast<char*>(std::memchr(p, '\r', static_cast<std::size_t>(end - p)))) != nullptr) {
    if (p + 1 == end && !textEnds) return true;
    if (p + 1 == end || p[1] != '\n') *p = '\n';
    ++p;
  }
  return false;
}

TextScanner::TextScanner(std::FILE* file) : file_(file) {
  struct stat info {};
  if (fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode)) {
    const off_t at = ftello(file);
    totalSize_ = static_cast<std::uint64_t>(info.st_size) -
                 static_cast<std::uint64_t>(at > 0 && at <= info.st_size ? at : 0);
    if (at <= 0 && totalSize_ > kBufferSize) {
      mapped_ = MappedFile::map(fileno(file), totalSize_);
      // A file of CR-ended lines streams through the buffer instead, where
      // its line ends are made line feeds; the mapping is the file's own.
      if (mapped_ != nullptr && endsLinesWithCr(mapped_->data(), static_cast<std::size_t>(totalSize_))) {
        mapped_.reset();
        lineEnds_ = LineEnds::Cr;
      }
      if (mapped_ != nullptr) {
        readProgress().toDo += totalSize_;  // one pass; a reader that makes two adds the second
        data_ = mapped_->data();
        end_ = static_cast<std::size_t>(totalSize_);
        bytesRead_ = totalSize_;
        inputEnded_ = true;
        file_ = nullptr;  // from here on a scanner of text in memory
        return;
      }
    }
    // A small file needs no more buffer than itself (and one byte to see its end).
    capacity_ = static_cast<std::size_t>(std::min<std::uint64_t>(kBufferSize, std::max<std::uint64_t>(totalSize_ + 1, 4096)));
  }
  storage_.reset(new char[capacity_]);
  data_ = storage_.get();
}

// The last pass's tail, short of a release step, counts too.
TextScanner::~TextScanner() {
  if (mapped_ != nullptr) noteProgress();
}

void TextScanner::expectAnotherPass() {
  if (mapped_ != nullptr) readProgress().toDo += end_;
}

void TextScanner::noteProgress() {
  readProgress().done += pos_ - counted_;
  counted_ = pos_;
  // A read nobody waits for any more ends here, as if the file did.
  if (readCancelled()) end_ = pos_;
}

void TextScanner::releaseScannedPages() {
  noteProgress();
  releaseMappedPages(data_ + released_, data_ + pos_);
  released_ = pos_;
}

TextScanner::TextScanner(const char* text, std::size_t size)
    : data_(text), end_(size), inputEnded_(true), totalSize_(size), bytesRead_(size) {
  if (endsLinesWithCr(text, size)) {
    storage_.reset(new char[size]);
    std::memcpy(storage_.get(), text, size);
    crsToLineFeeds(storage_.get(), size, true);
    data_ = storage_.get();
  }
}

bool TextScanner::refill() {
  if (inputEnded_) return false;
  if (pos_ > 0) {
    std::memmove(storage_.get(), storage_.get() + pos_, end_ - pos_);
    end_ -= pos_;
    pos_ = 0;
  }
  const std::size_t room = capacity_ - end_;
  if (room == 0) return false;
  char* const fresh = storage_.get() + end_;
  const std::size_t got = std::fread(fresh, 1, room, file_);
  if (got < room) inputEnded_ = true;
  end_ += got;
  bytesRead_ += got;
  if (lineEnds_ == LineEnds::NotSeen && end_ > 0) {
    lineEnds_ = endsLinesWithCr(storage_.get(), end_) ? LineEnds::Cr : LineEnds::Lf;
  }
  if (lineEnds_ == LineEnds::Cr && got > 0) {
    // A CR that ended the last read was taken as a line end: the LF of its
    // CR LF, first in this one, goes (counted as read, so places keep).
    std::size_t size = got;
    if (crEndedRead_ && fresh[0] == '\n') {
      std::memmove(fresh, fresh + 1, --size);
      --end_;
    }
    crEndedRead_ = size > 0 && fresh[size - 1] == '\r';
    crsToLineFeeds(fresh, size, true);
  }
  return got > 0;
}

void TextScanner::fill(std::size_t want) {
  while (end_ - pos_ < want && !inputEnded_) {
    if (!refill()) break;
  }
}

void TextScanner::skipWhitespace() {
  releaseScanned();
  for (;;) {
    while (pos_ < end_ && isBlank(static_cast<unsigned char>(data_[pos_]))) ++pos_;
    if (pos_ < end_ || inputEnded_) return;
    refill();
  }
}

bool TextScanner::atEnd() {
  fill(1);
  return pos_ >= end_;
}

std::uint64_t TextScanner::bytesLeft() const {
  // Unknown sizes (streams that bypass openForReading) stay far from
  // overflowing the sums that callers make with this.
  if (totalSize_ == UINT64_MAX) return std::uint64_t{1} << 62;
  const std::uint64_t consumed = bytesRead_ - (end_ - pos_);
  return consumed <= totalSize_ ? totalSize_ - consumed : 0;
}

namespace {

enum class Collect { Done, NeedMore };

Collect collectInt(const Window& w, std::size_t& length, bool& accepted) {
  std::size_t i = 0;
  int c = w.at(0);
  if (c == kMore) return Collect::NeedMore;
  if (c == '-' || c == '+') c = w.at(++i);
  const std::size_t firstDigit = i;
  while (isDigit(c)) c = w.at(++i);
  if (c == kMore) return Collect::NeedMore;
  length = i;
  accepted = i > firstDigit;
  return Collect::Done;
}

// Converts a collected %d token; values beyond 32 bits are refused.
bool convertInt(const char* text, std::size_t length, std::int32_t& value) {
  bool negative = text[0] == '-';
  std::size_t k = (text[0] == '-' || text[0] == '+') ? 1 : 0;
  std::int64_t magnitude = 0;
  for (; k < length; ++k) {
    magnitude = magnitude * 10 + (text[k] - '0');
    if (magnitude > std::int64_t{2147483648}) return false;
  }
  if (negative) magnitude = -magnitude;
  if (magnitude > 2147483647) return false;
  value = static_cast<std::int32_t>(magnitude);
  return true;
}

// The collection rules of the C library's %f, step for step: an optional
// sign, then "nan", "inf"/"infinity", or a decimal or 0x-prefixed hexadecimal
// mantissa with at most one point and an exponent (e or p) with its own sign.
// What is collected is what the stream gives up, even where the number that
// converts is shorter ("1e" yields 1 and consumes both characters).
Collect collectFloat(const Window& w, std::size_t& length, bool& plainDecimal, bool& accepted) {
  std::size_t i = 0;
  plainDecimal = true;
  accepted = false;
  int c = w.at(0);
  if (c == kMore) return Collect::NeedMore;
  if (c == kEnd) {
    length = 0;
    return Collect::Done;
  }
  bool gotSign = false;
  if (c == '-' || c == '+') {
    gotSign = true;
    c = w.at(++i);
    if (c == kMore) return Collect::NeedMore;
    if (c == kEnd) {
      length = i;
      return Collect::Done;
    }
  }
  auto matchWord = [&](const char* rest) -> Collect {
    // c holds the word's first letter; each later letter must follow.
    for (const char* r = rest; *r != '\0'; ++r) {
      c = w.at(++i);
      if (c == kMore) return Collect::NeedMore;
      if (lower(c) != *r) {
        length = i;
        return Collect::Done;
      }
    }
    ++i;
    accepted = true;
    return Collect::Done;
  };
  if (lower(c) == 'n') {
    plainDecimal = false;
    if (matchWord("an") == Collect::NeedMore) return Collect::NeedMore;
    if (accepted) length = i;
    return Collect::Done;
  }
  if (lower(c) == 'i') {
    plainDecimal = false;
    if (matchWord("nf") == Collect::NeedMore) return Collect::NeedMore;
    if (!accepted) return Collect::Done;
    c = w.at(i);
    if (c == kMore) return Collect::NeedMore;
    if (lower(c) == 'i') {
      accepted = false;
      if (matchWord("nity") == Collect::NeedMore) return Collect::NeedMore;
    }
    if (accepted) length = i;
    return Collect::Done;
  }

  bool hex = false, gotDigit = false, gotDot = false, gotExp = false, lastWasExp = false;
  int expChar = 'e';
  if (c == '0') {
    c = w.at(++i);
    if (c == kMore) return Collect::NeedMore;
    if (lower(c) == 'x') {
      hex = true;
      plainDecimal = false;
      expChar = 'p';
      c = w.at(++i);
    } else {
      gotDigit = true;
    }
  }
  for (;;) {
    if (c == kMore) return Collect::NeedMore;
    if (c == kEnd) break;
    bool wasExp = false;
    if (isDigit(c) || (!gotExp && hex && isHexDigit(c))) {
      gotDigit = true;
    } else if (gotExp && lastWasExp && (c == '-' || c == '+')) {
      // the exponent's sign
    } else if (gotDigit && !gotExp && lower(c) == expChar) {
      gotExp = gotDot = true;
      wasExp = true;
    } else if (!gotDot && c == '.') {
      gotDot = true;
    } else {
      break;
    }
    lastWasExp = wasExp;
    c = w.at(++i);
  }
  length = i;
  const std::size_t prefix = (gotSign ? 1 : 0) + (hex ? 2 : 0);
  accepted = i > prefix;
  return Collect::Done;
}

// Converts a collected %f token: fast_float for plain decimals, the C
// library (in the C locale) for hexadecimal, inf and nan.
bool convertFloat(const char* text, std::size_t length, bool plainDecimal, float& value) {
  if (plainDecimal) {
    const char* first = text[0] == '+' ? text + 1 : text;
    float parsed = 0.0f;
    const auto result = fast_float::from_chars(first, text + length, parsed);
    if (result.ec == std::errc() && result.ptr != first) {
      value = parsed;
      return true;
    }
  }
  bool ok = false;
  const float parsed = convertWithCLibrary(text, length, ok);
  if (ok) value = parsed;
  return ok;
}

// The common case at fast_float's speed: a plain decimal number that ends at
// white space or at the end of the text. There the C library's collection
// stops at the same character, and both round correctly, so the value and
// the stopping point are the same. Anything else (hexadecimal, inf, nan, a
// dangling exponent such as "1e", a sign without digits) returns nullptr and
// takes the exact path.
// Short decimals such as "-12.5" or "0.125000", the bulk of any model file:
// with at most 7 significant digits and 10 decimals, the mantissa and the
// power of ten are exact floats, so one float division rounds correctly
// (Clinger's fast path) and gives what strtof gives, bit for bit.
const char* parseShortDecimal(const char* p, const char* end, float& value) {
  static constexpr float kPowers[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                      1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
  constexpr std::uint64_t kExact = std::uint64_t{1} << 24;
  const bool negative = p < end && *p == '-';
  if (p < end && (*p == '-' || *p == '+')) ++p;
  const char* const digitsStart = p;
  const char* dot = nullptr;
  std::uint64_t mantissa = 0;
  for (; p < end; ++p) {
    const unsigned d = static_cast<unsigned>(static_cast<unsigned char>(*p)) - '0';
    if (d <= 9) {
      mantissa = mantissa * 10 + d;
    } else if (*p == '.' && dot == nullptr) {
      dot = p;
    } else {
      break;
    }
  }
  const long digits = (p - digitsStart) - (dot != nullptr ? 1 : 0);
  if (digits <= 0 || digits > 19 || (p < end && !isBlank(static_cast<unsigned char>(*p)))) {
    return nullptr;
  }
  long scale = dot != nullptr ? p - dot - 1 : 0;
  // Trailing zeros after the point only shift the scale: "85.000000" is 85.
  while (mantissa > kExact && scale > 0 && mantissa % 10 == 0) {
    mantissa /= 10;
    --scale;
  }
  if (mantissa > kExact || scale > 10) return nullptr;
  const float magnitude = static_cast<float>(mantissa) / kPowers[scale];
  value = negative ? -magnitude : magnitude;
  return p;
}

const char* parsePlainFloat(const char* p, const char* end, float& value) {
  if (const char* stop = parseShortDecimal(p, end, value)) return stop;
  const char* first = (p < end && *p == '+') ? p + 1 : p;
  const char* digits = (first == p && first < end && *first == '-') ? first + 1 : first;
  if (digits >= end || !(isDigit(static_cast<unsigned char>(*digits)) || *digits == '.')) {
    return nullptr;
  }
  float parsed = 0.0f;
  const auto result = fast_float::from_chars(first, end, parsed);
  if (result.ec != std::errc() || result.ptr == first) return nullptr;
  if (result.ptr != end && !isBlank(static_cast<unsigned char>(*result.ptr))) return nullptr;
  value = parsed;
  return result.ptr;
}

const char* skipBlanks(const char* p, const char* end) {
  while (p < end && isBlank(static_cast<unsigned char>(*p))) ++p;
  return p;
}

}  // namespace

const char* parseIntField(const char* p, const char* end, std::int32_t& value) {
  p = skipBlanks(p, end);
  std::size_t length = 0;
  bool accepted = false;
  collectInt(Window{p, static_cast<std::size_t>(end - p), false}, length, accepted);
  if (!accepted || !convertInt(p, length, value)) return nullptr;
  return p + length;
}

const char* parseFloatField(const char* p, const char* end, float& value) {
  p = skipBlanks(p, end);
  if (const char* stop = parsePlainFloat(p, end, value)) return stop;
  std::size_t length = 0;
  bool plainDecimal = true, accepted = false;
  collectFloat(Window{p, static_cast<std::size_t>(end - p), false}, length, plainDecimal,
               accepted);
  if (!accepted || !convertFloat(p, length, plainDecimal, value)) return nullptr;
  return p + length;
}

bool TextScanner::readInt(std::int32_t& value) {
  skipWhitespace();
  fill(64);
  {
    // Plain digits that end inside the buffered text, the usual case, need
    // no collecting.
    const char* const p = data_ + pos_;
    const char* const end = data_ + end_;
    std::int32_t digits = 0;
    const char* const q = parsePlainDigits(p, end, digits);
    if (q > p && (q < end ? !isDigit(static_cast<unsigned char>(*q)) : inputEnded_)) {
      value = digits;
      pos_ = static_cast<std::size_t>(q - data_);
      return true;
    }
  }
  std::size_t length = 0;
  bool accepted = false;
  auto window = [this] { return Window{data_ + pos_, end_ - pos_, !inputEnded_}; };
  if (collectInt(window(), length, accepted) == Collect::NeedMore) {
    fill(capacity_);
    if (collectInt(window(), length, accepted) == Collect::NeedMore) return false;  // longer than the buffer
  }
  const char* text = data_ + pos_;
  pos_ += length;
  return accepted && convertInt(text, length, value);
}

bool TextScanner::readFloat(float& value) {
  skipWhitespace();
  fill(128);
  // Where the number could run on past the buffered text, only the exact
  // path can tell.
  if (const char* stop = parsePlainFloat(data_ + pos_, data_ + end_, value)) {
    if (stop < data_ + end_ || inputEnded_) {
      pos_ = static_cast<std::size_t>(stop - data_);
      return true;
    }
  }
  std::size_t length = 0;
  bool plainDecimal = true, accepted = false;
  auto window = [this] { return Window{data_ + pos_, end_ - pos_, !inputEnded_}; };
  if (collectFloat(window(), length, plainDecimal, accepted) == Collect::NeedMore) {
    fill(capacity_);
    if (collectFloat(window(), length, plainDecimal, accepted) == Collect::NeedMore) return false;
  }
  const char* text = data_ + pos_;
  pos_ += length;
  return accepted && convertFloat(text, length, plainDecimal, value);
}

bool TextScanner::readToken(std::string& token) {
  skipWhitespace();
  if (pos_ >= end_) return false;
  token.clear();
  for (;;) {
    std::size_t start = pos_;
    // A mapped file is gone through a step at a time, its pages given back
    // behind: an endless run must not hold the whole file.
    const std::size_t stop = mapped_ != nullptr ? std::min(end_, pos_ + kReleaseStep) : end_;
    while (pos_ < stop && !isBlank(static_cast<unsigned char>(data_[pos_]))) ++pos_;
    token.append(data_ + start, std::min(pos_ - start, kLongestToken - token.size()));
    if (pos_ < stop) return true;
    if (pos_ < end_) {
      releaseScanned();
      continue;
    }
    if (inputEnded_) return true;
    refill();
    if (pos_ >= end_) return true;
  }
}

bool TextScanner::readLine(std::string& line, std::size_t maxChars) {
  releaseScanned();
  line.clear();
  fill(1);
  if (pos_ >= end_) return false;
  while (line.size() < maxChars) {
    if (pos_ >= end_) {
      fill(1);
      if (pos_ >= end_) break;
    }
    const std::size_t room = maxChars - line.size();
    const std::size_t available = end_ - pos_ < room ? end_ - pos_ : room;
    const char* start = data_ + pos_;
    const void* newline = std::memchr(start, '\n', available);
    if (newline != nullptr) {
      const std::size_t take = static_cast<const char*>(newline) - start + 1;
      line.append(start, take);
      pos_ += take;
      break;
    }
    line.append(start, available);
    pos_ += available;
  }
  return true;
}

void TextScanner::skipRestOfLine() {
  for (;;) {
    fill(1);
    if (pos_ >= end_) return;
    const void* newline = std::memchr(data_ + pos_, '\n', end_ - pos_);
    if (newline != nullptr) {
      pos_ = static_cast<std::size_t>(static_cast<const char*>(newline) - data_) + 1;
      return;
    }
    pos_ = end_;
  }
}

bool TextScanner::readLineBlock(std::string_view& block) {
  releaseScanned();
  fill(1);
  if (pos_ >= end_) {
    if (mapped_ != nullptr) noteProgress();  // the pass is over
    return false;
  }
  const char* start = data_ + pos_;
  const std::size_t available = end_ - pos_;
  if (mapped_ != nullptr && available > kMappedBlock) {
    // A mapped file comes in blocks of whole lines, so that what was scanned
    // can be given back; a line longer than a block comes whole.
    const void* lastLf = memrchr(start, '\n', kMappedBlock);
    if (lastLf == nullptr) lastLf = std::memchr(start + kMappedBlock, '\n', available - kMappedBlock);
    const std::size_t length =
        lastLf != nullptr ? static_cast<std::size_t>(static_cast<const char*>(lastLf) - start) + 1 : available;
    block = std::string_view(start, length);
    pos_ += length;
    noteProgress();
    return true;
  }
  if (inputEnded_) {
    block = std::string_view(start, available);
    pos_ = end_;
    return true;
  }
  const void* lastLf = memrchr(start, '\n', available);
  if (lastLf != nullptr) {
    const std::size_t length = static_cast<std::size_t>(static_cast<const char*>(lastLf) - start) + 1;
    block = std::string_view(start, length);
    pos_ += length;
    return true;
  }
  // No line end in the buffered text: move it to the front and read on; a
  // line longer than the whole buffer is collected on its own.
  if (pos_ > 0 || end_ < capacity_) {
    refill();
    return readLineBlock(block);
  }
  longLine_.assign(data_, end_);
  pos_ = end_;
  for (;;) {
    fill(1);
    if (pos_ >= end_) break;
    const void* lf = std::memchr(data_ + pos_, '\n', end_ - pos_);
    const std::size_t take = lf != nullptr
                                 ? static_cast<std::size_t>(static_cast<const char*>(lf) - (data_ + pos_)) + 1
                                 : end_ - pos_;
    longLine_.append(data_ + pos_, take);
    pos_ += take;
    if (lf != nullptr) break;
  }
  block = longLine_;
  return true;
}

bool TextScanner::peekToken(std::string_view& token) {
  skipWhitespace();
  fill(256);
  if (pos_ >= end_) return false;
  std::size_t length = 0;
  while (length < 255 && pos_ + length < end_ &&
         !isBlank(static_cast<unsigned char>(data_[pos_ + length]))) {
    ++length;
  }
  token = std::string_view(data_ + pos_, length);
  return true;
}

bool TextScanner::rewind() {
  if (file_ == nullptr) {
    if (mapped_ != nullptr) noteProgress();  // the whole first pass
    if (readCancelled()) return false;
    bytesRead_ = end_;
    pos_ = 0;
    released_ = 0;
    counted_ = 0;
    return true;
  }
  if (std::fseek(file_, 0, SEEK_SET) != 0) return false;
  pos_ = end_ = 0;
  crEndedRead_ = false;
  bytesRead_ = 0;
  inputEnded_ = false;
  return true;
}
