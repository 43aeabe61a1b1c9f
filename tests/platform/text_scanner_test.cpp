// The scanner must give what the C library's formatted input gives: the same
// success, the same value and the same stopping point.
#include "platform/text_scanner.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <sstream>

#include "support/temp_dir.h"

namespace {

bool sameFloat(float a, float b) {
  return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}

// One %f and one %d conversion of `text` against sscanf; values outside 32
// bits are refused on purpose.
void expectLikeC(const std::string& text) {
  SCOPED_TRACE("input: \"" + text + "\"");
  float expectedFloat = 0.0f, actualFloat = 0.0f;
  long expectedInt = 0;
  std::int32_t actualInt = 0;
  int floatStop = -1, intStop = -1;
  const bool floatMatched = std::sscanf(text.c_str(), "%f%n", &expectedFloat, &floatStop) == 1;
  const bool intMatched = std::sscanf(text.c_str(), "%ld%n", &expectedInt, &intStop) == 1 &&
                          expectedInt >= INT32_MIN && expectedInt <= INT32_MAX;
  TextScanner floats(text.data(), text.size()), ints(text.data(), text.size());
  ASSERT_EQ(floats.readFloat(actualFloat), floatMatched);
  ASSERT_EQ(ints.readInt(actualInt), intMatched);
  if (floatMatched) {
    EXPECT_TRUE(sameFloat(actualFloat, expectedFloat)) << actualFloat << " vs " << expectedFloat;
    EXPECT_EQ(text.size() - floats.bytesLeft(), static_cast<std::size_t>(floatStop));
  }
  if (intMatched) {
    EXPECT_EQ(actualInt, expectedInt);
    EXPECT_EQ(text.size() - ints.bytesLeft(), static_cast<std::size_t>(intStop));
  }
}

}  // namespace

TEST(TextScanner, NumberFormsAndRandomTokensMatchTheCLibrary) {
  // One token a line, with \n, \r and \t written out.
  std::istringstream lines(readTextFile(TESSERA_SOURCE_DIR "/tests/data/scanner/number-forms.txt"));
  int count = 0;
  for (std::string line; std::getline(lines, line); ++count) {
    std::string text;
    for (std::size_t k = 0; k < line.size(); ++k) {
      if (line[k] != '\\' || k + 1 == line.size()) {
        text += line[k];
        continue;
      }
      const char c = line[++k];
      text += c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c;
    }
    expectLikeC(text);
  }
  EXPECT_GT(count, 90);
  // Random tokens, mostly digits, and decimals of many lengths and exponents.
  std::mt19937_64 random(20261206);
  const std::string alphabet = "0123456789+-.eEpPxXinfatyINFATY \n\t";
  char text[64];
  for (int round = 0; round < 40000; ++round) {
    if (round % 2 == 0) {  // mostly digits, so that many tokens are numbers worth comparing
      std::string token;
      for (std::size_t k = 1 + random() % 14; k > 0; --k) {
        token += random() % 3 == 0 ? alphabet[random() % alphabet.size()] : static_cast<char>('0' + random() % 10);
      }
      expectLikeC(token);
    } else {  // decimals with an exponent, or plain ones of a few to many digits
      const double mantissa = static_cast<double>(random() % 2000001) / 100000.0 - 10.0;
      if (round % 4 == 1) {
        std::snprintf(text, sizeof text, "%.*ge%d", 1 + round % 17, mantissa, static_cast<int>(random() % 84) - 45);
      } else {
        std::snprintf(text, sizeof text, "%.*f", static_cast<int>(random() % 13), mantissa * std::pow(10.0, round % 9 - 3));
      }
      expectLikeC(text);
    }
    if (HasFatalFailure()) return;
  }
}

TEST(TextScanner, StreamsMatchFscanfAcrossBufferBoundariesAndLongRunsReadWhole) {
  // Several buffers' worth of numbers of every length, so that tokens are cut
  // at each refill; the stream position after every token must agree.
  std::mt19937 random(99);
  std::string text;
  std::vector<bool> isInt;
  while (text.size() < 3 * TextScanner::kBufferSize + 1000) {
    const int kind = static_cast<int>(random() % 4);
    char token[96];
    const double value = (random() % 1000000) / 9.0;
    if (kind == 0) std::snprintf(token, sizeof token, "%d", static_cast<int>(random() % 2000000000u) - 1000000000);
    if (kind == 1) std::snprintf(token, sizeof token, "%.9e", value);
    if (kind == 2) std::snprintf(token, sizeof token, "%a", value);
    if (kind == 3) std::snprintf(token, sizeof token, "%.*f", static_cast<int>(random() % 40), value);
    text += token;
    text += (random() % 5 == 0) ? "\r\n" : " ";
    isInt.push_back(kind == 0);
  }
  TempDir dir;
  const std::string path = dir.file("numbers.txt"), longPath = dir.file("long.txt");
  writeTextFile(path, text);
  // A file this size is mapped; through a pipe the same text streams
  // through the buffer, each token cut at some refill.
  for (const bool throughPipe : {false, true}) {
    SCOPED_TRACE(throughPipe ? "through a pipe" : "mapped");
    std::FILE* reference = std::fopen(path.c_str(), "r");
    std::FILE* ours = throughPipe ? popen(("cat " + path).c_str(), "r") : std::fopen(path.c_str(), "r");
    ASSERT_TRUE(reference && ours);
    {
      TextScanner scan(ours);
      for (std::size_t k = 0; k < isInt.size(); ++k) {
        int expectedInt = 0;
        std::int32_t actualInt = 0;
        float expected = 0.0f, actual = 0.0f;
        if (isInt[k]) {
          ASSERT_EQ(std::fscanf(reference, "%d", &expectedInt), 1);
          ASSERT_TRUE(scan.readInt(actualInt) && actualInt == expectedInt) << "token " << k;
        } else {
          ASSERT_EQ(std::fscanf(reference, "%f", &expected), 1);
          ASSERT_TRUE(scan.readFloat(actual) && sameFloat(actual, expected)) << "token " << k;
        }
        // A pipe's size is unknown: its place shows in the tokens that follow.
        if (!throughPipe) {
          ASSERT_EQ(text.size() - scan.bytesLeft(), static_cast<std::uint64_t>(std::ftell(reference))) << "token " << k;
        }
      }
      float tail = 0.0f;
      EXPECT_FALSE(scan.readFloat(tail));
      EXPECT_TRUE(scan.atEnd());
    }
    std::fclose(reference);
    throughPipe ? pclose(ours) : std::fclose(ours);
  }

  // Tokens, lines and numbers longer than the buffer.
  const std::string longToken(3 * TextScanner::kBufferSize / 2, 'a');
  const std::string digits(TextScanner::kBufferSize + 10, '1');
  writeTextFile(longPath, "  " + longToken + " short\r\nline two\nabcdefgh\n" + digits);
  std::FILE* file = std::fopen(longPath.c_str(), "r");
  ASSERT_NE(file, nullptr);
  {
    TextScanner scan(file);
    std::string token, line;
    // A run longer than any word keeps its start only, and is passed whole.
    ASSERT_TRUE(scan.readToken(token) && token == longToken.substr(0, TextScanner::kLongestToken));
    ASSERT_TRUE(scan.readToken(token) && token == "short");
    ASSERT_TRUE(scan.readLine(line, 100));
    EXPECT_EQ(line, "\r\n");  // the rest of the line, as fgets gives it
    ASSERT_TRUE(scan.readLine(line, 4));
    EXPECT_EQ(line, "line");
    scan.skipRestOfLine();
    ASSERT_TRUE(scan.readLine(line, 100));
    EXPECT_EQ(line, "abcdefgh\n");
    // The file is larger than the buffer, so it is mapped: the number reads
    // whole, as the C library reads it (out of range: infinity).
    float value = 0.0f;
    EXPECT_TRUE(scan.readFloat(value) && std::isinf(value));
  }
  std::fclose(file);
}

TEST(TextScanner, LinesEndedByACrAloneAreLinesFromMemoryMappedFilesAndPipes) {
  // Lines of many lengths; one line end falls on the last byte of the first
  // buffer a pipe fills, where the byte after it is not yet read.
  std::string crText;
  for (int k = 0; crText.size() < 2 * TextScanner::kBufferSize + 5000; ++k) {
    crText += "v " + std::to_string(k) + std::string(static_cast<std::size_t>(k % 37), 'x');
    if (crText.size() > TextScanner::kBufferSize - 100 && crText.size() < TextScanner::kBufferSize) {
      crText += std::string(TextScanner::kBufferSize - 1 - crText.size(), 'y');
    }
    crText += k % 50 == 7 ? "\r\n" : "\r";  // a CR LF among them is one line end too
  }
  ASSERT_EQ(crText[TextScanner::kBufferSize - 1], '\r');
  const struct {
    const char* what;
    std::string text;
  } cases[] = {
      {"CR lines", crText},
      {"CR lines, the last without one", "a b\rc\r\rd"},
      {"CR lines, the last with one", "a\rb\r"},
      {"a stray CR in LF lines stays in its line", "a\rb\nc\r\n"},
  };
  TempDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> expected(1);
    for (std::size_t k = 0; k < c.text.size(); ++k) {
      const bool crLines = c.text.find('\n') > c.text.find('\r') && c.text[c.text.find('\r') + 1] != '\n';
      if (c.text[k] == '\n' || (crLines && c.text[k] == '\r')) {
        if (c.text[k] == '\r' && k + 1 < c.text.size() && c.text[k + 1] == '\n') ++k;
        if (k + 1 < c.text.size()) expected.emplace_back();
      } else if (!(c.text[k] == '\r' && k + 1 < c.text.size() && c.text[k + 1] == '\n')) {
        expected.back() += c.text[k];
      }
    }
    const auto lines = [](TextScanner& scan) {
      std::vector<std::string> got;
      scan.forEachLine([&](std::string_view line) {
        got.emplace_back(line);
        return true;
      });
      return got;
    };
    TextScanner inMemory(c.text.data(), c.text.size());
    EXPECT_EQ(lines(inMemory), expected) << "in memory";
    const std::string path = dir.file("lines.txt");
    writeTextFile(path, c.text);
    for (const bool throughPipe : {false, true}) {
      std::FILE* file = throughPipe ? popen(("cat " + path).c_str(), "r") : std::fopen(path.c_str(), "r");
      ASSERT_NE(file, nullptr);
      {
        TextScanner scan(file);
        EXPECT_EQ(lines(scan), expected) << (throughPipe ? "through a pipe" : "from the file");
        if (!throughPipe) {
          // A second pass reads the same lines.
          ASSERT_TRUE(scan.rewind());
          EXPECT_EQ(lines(scan), expected) << "second pass";
        }
      }
      throughPipe ? pclose(file) : std::fclose(file);
    }
  }
}
