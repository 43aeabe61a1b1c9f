#pragma once
// Formatted input over a stream, token for token what the C library's
// fscanf does with %d, %f and %s: the same accepted forms, the same values and
// the same stopping points, at several times the speed. Reads through one
// reused 1 MiB buffer; a file of any size streams through it.

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

// The same conversions on text in memory that ends at `end`: leading white
// space is skipped; on success the returned pointer stands after what the
// conversion consumed, on failure it is nullptr.
const char* parseIntField(const char* p, const char* end, std::int32_t& value);
const char* parseFloatField(const char* p, const char* end, float& value);

class TextScanner {
 public:
  static constexpr std::size_t kBufferSize = std::size_t{1} << 20;

  // Reads from an open stream that the caller keeps and closes.
  explicit TextScanner(std::FILE* file);
  // Reads from text in memory (tests, fuzzing).
  TextScanner(const char* text, std::size_t size);

  TextScanner(const TextScanner&) = delete;
  TextScanner& operator=(const TextScanner&) = delete;

  // "%d". Fails at the end of the input, on a token that is not a number and
  // on a value outside the 32-bit range (which the C library leaves undefined).
  bool readInt(std::int32_t& value);
  // "%f": decimal and hexadecimal forms, inf, infinity and nan, any case.
  bool readFloat(float& value);
  // "%s": one run of non-blank characters, whole at any length.
  bool readToken(std::string& token);
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

  bool atEnd();
  // How many more bytes the input can hold at most: a bound for allocations
  // driven by counts that the file states; 2^62 when the size is unknown.
  std::uint64_t bytesLeft() const;

 private:
  // Makes at least `want` bytes available from pos_ unless the input ends first.
  void fill(std::size_t want);
  bool refill();

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
