#pragma once
// Formatted input over a stream, token for token what the C library's
// fscanf does with %d, %f and %s: the same accepted forms, the same values and
// the same stopping points, at several times the speed. A regular file over
// 1 MiB is mapped and read in place; anything else streams through one
// reused buffer of at most 1 MiB.

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "platform/mapped_file.h"

// The same conversions on text in memory that ends at `end`: leading white
// space is skipped; on success the returned pointer stands after what the
// conversion consumed, on failure it is nullptr.
const char* parseIntField(const char* p, const char* end, std::int32_t& value);
const char* parseFloatField(const char* p, const char* end, float& value);

// Up to nine plain digits at `p`, the usual count or index, which cannot
// overflow: their value, and where they stop (`p` itself when there are
// none). What follows decides whether they are the whole number.
inline const char* parsePlainDigits(const char* p, const char* end, std::int32_t& value) {
  const char* q = p;
  std::int32_t digits = 0;
  while (q < end && q - p < 9 && static_cast<unsigned>(*q - '0') <= 9u) digits = digits * 10 + (*q++ - '0');
  value = digits;
  return q;
}

// Old Mac files end their lines in a CR alone. A text does so when its first
// line end (looked for in its first 64 KiB) is a CR that no LF follows; in a
// text of LF or CR LF lines a stray CR stays a blank, as it always was.
bool endsLinesWithCr(const char* text, std::size_t size);
// Each CR of `text` that no LF follows made a line feed; a CR that is the
// last byte is left as it is unless `textEnds` (returns whether it was). The
// size stays the same, so places in the text keep.
bool crsToLineFeeds(char* text, std::size_t size, bool textEnds);

class TextScanner {
 public:
  static constexpr std::size_t kBufferSize = std::size_t{1} << 20;

  // Reads from an open stream that the caller keeps and closes. A regular
  // file larger than the buffer is mapped instead of copied, so a second pass
  // costs no second read; pages already scanned are given back as the scan
  // moves on, so the memory it holds stays small.
  explicit TextScanner(std::FILE* file);
  ~TextScanner();
  // Reads from text in memory (tests, fuzzing, files read whole). Lines
  // ended by a CR alone read as lines, as everywhere in the scanner: such
  // text is read from a copy with line feeds.
  TextScanner(const char* text, std::size_t size);

  TextScanner(const TextScanner&) = delete;
  TextScanner& operator=(const TextScanner&) = delete;

  // "%d". Fails at the end of the input, on a token that is not a number and
  // on a value outside the 32-bit range (which the C library leaves undefined).
  bool readInt(std::int32_t& value);
  // "%f": decimal and hexadecimal forms, inf, infinity and nan, any case.
  bool readFloat(float& value);
  // "%s": one run of non-blank characters, read whole at any length; of a
  // run longer than kLongestToken (no word or number of a model format is),
  // only the first kLongestToken characters are kept, so that a file of one
  // endless run costs no copy of itself.
  bool readToken(std::string& token);
  static constexpr std::size_t kLongestToken = std::size_t{1} << 16;
  // A blank or a line break in a format: skips all white space.
  void skipWhitespace();
  // fgets with room for maxChars characters: stops after maxChars characters
  // or after a line feed, which is kept. False when nothing was left to read.
  bool readLine(std::string& line, std::size_t maxChars);
  // Skips through the next line feed (or to the end).
  void skipRestOfLine();
  // Calls `visit` with every remaining line, without its line end (LF, or
  // CR LF), whole at any length; the last line needs no line feed. Stops
  // early, returning false, when `visit` returns false.
  template <typename Visit>
  bool forEachLine(Visit&& visit);
  // The next run of whole lines of buffered text, each ending in a line feed
  // except the input's last line; a line longer than the buffer comes alone.
  // The view lasts until the next call.
  bool readLineBlock(std::string_view& block);
  // The next %s token without consuming it; at most 255 characters are shown.
  bool peekToken(std::string_view& token);
  // Back to the start of a seekable stream, for a second pass.
  bool rewind();
  // Tells the progress shown for a mapped file that the reader goes over it
  // once more.
  void expectAnotherPass();

  bool atEnd();
  // All the input, when it is in memory (text given so, or a mapped file)
  // and nothing of it has been read yet; otherwise empty.
  std::string_view wholeText() const { return pos_ == 0 ? restInMemory() : std::string_view(); }
  // What is left to read, when all the input is in memory; otherwise empty.
  std::string_view restInMemory() const {
    return file_ == nullptr ? std::string_view(data_ + pos_, end_ - pos_) : std::string_view();
  }
  // True when the file was shortened while it was read: what was read is
  // not the file.
  bool inputShrank() const { return mapped_ != nullptr && mapped_->shrank(); }
  // How many more bytes the input can hold at most: a bound for allocations
  // driven by counts that the file states; 2^62 when the size is unknown.
  std::uint64_t bytesLeft() const;

 private:
  // Makes at least `want` bytes available from pos_ unless the input ends first.
  void fill(std::size_t want);
  bool refill();
  // A mapped file: gives back the pages before pos_ once enough have gathered.
  void releaseScanned() {
    if (mapped_ != nullptr && pos_ - released_ >= kReleaseStep) releaseScannedPages();
  }
  void releaseScannedPages();
  // Adds what was read since the last call to the progress shown.
  void noteProgress();
  static constexpr std::size_t kReleaseStep = std::size_t{4} << 20;
  static constexpr std::size_t kMappedBlock = std::size_t{2} << 20;

  std::FILE* file_ = nullptr;
  std::size_t capacity_ = kBufferSize;  // of storage_
  std::unique_ptr<char[]> storage_;
  const char* data_ = nullptr;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  bool inputEnded_ = false;
  std::uint64_t totalSize_ = UINT64_MAX;  // size of the whole input when known
  std::uint64_t bytesRead_ = 0;           // bytes moved into the buffer so far
  std::string longLine_;                  // a line that outgrew the buffer
  std::unique_ptr<MappedFile> mapped_;    // the file, when it is mapped
  std::size_t released_ = 0;              // bytes of the mapping given back
  std::size_t counted_ = 0;               // bytes of this pass told to the progress
  enum class LineEnds : std::uint8_t { NotSeen, Lf, Cr };
  LineEnds lineEnds_ = LineEnds::NotSeen;  // of a streamed file, told by its first bytes
  bool crEndedRead_ = false;              // the last read of CR-ended text ended in a CR
};

template <typename Visit>
bool TextScanner::forEachLine(Visit&& visit) {
  std::string_view block;
  while (readLineBlock(block)) {
    const char* p = block.data();
    const char* const end = p + block.size();
    while (p < end) {
      const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
      const char* lineEnd = lf != nullptr ? lf : end;
      const char* contentEnd = (lineEnd > p && lineEnd[-1] == '\r') ? lineEnd - 1 : lineEnd;
      if (!visit(std::string_view(p, static_cast<std::size_t>(contentEnd - p)))) return false;
      p = lf != nullptr ? lf + 1 : end;
    }
  }
  return true;
}
