// The scanner must give what the C library's formatted input gives: the same
// success, the same value and the same stopping point.
#include "platform/text_scanner.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace {

std::size_t consumed(const TextScanner& scan, std::size_t size) {
  return size - static_cast<std::size_t>(scan.bytesLeft());
}

bool sameFloat(float a, float b) {
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// Compares one %f conversion of `text` against sscanf.
void expectFloatLikeC(const std::string& text) {
  SCOPED_TRACE("input: \"" + text + "\"");
  float expected = 0.0f;
  int stop = -1;
  const int matched = std::sscanf(text.c_str(), "%f%n", &expected, &stop);
  TextScanner scan(text.data(), text.size());
  float actual = 0.0f;
  const bool ok = scan.readFloat(actual);
  ASSERT_EQ(ok, matched == 1);
  if (ok) {
    EXPECT_TRUE(sameFloat(actual, expected)) << actual << " vs " << expected;
    EXPECT_EQ(consumed(scan, text.size()), static_cast<std::size_t>(stop));
  }
}

// Compares one %d conversion; values outside 32 bits are refused on purpose.
void expectIntLikeC(const std::string& text) {
  SCOPED_TRACE("input: \"" + text + "\"");
  long expected = 0;
  int stop = -1;
  const int matched = std::sscanf(text.c_str(), "%ld%n", &expected, &stop);
  TextScanner scan(text.data(), text.size());
  std::int32_t actual = 0;
  const bool ok = scan.readInt(actual);
  const bool inRange = matched == 1 && expected >= INT32_MIN && expected <= INT32_MAX;
  ASSERT_EQ(ok, inRange);
  if (ok) {
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(consumed(scan, text.size()), static_cast<std::size_t>(stop));
  }
}

}  // namespace

TEST(TextScanner, FloatFormsMatchTheCLibrary) {
  const char* cases[] = {
      "1", "-0.5", "2.5e3", "+7", "  \t\n 42.25", ".5", "5.", "-.5", ".", "-", "+", "-.",
      "1e", "1e+", "1e-", "1E5", "1e+5x", "1ex", "1.5e+", "e5", ".e5", "1.2.3", "12abc",
      "0x1p3", "0X1.8P1", "0x", "0xg", "-0x", "0x.p1", "0x1p", "0x1.", "0xABCp-2", "0x1e3",
      "inf", "-INF", "infinity", "InFiNiTy", "infinit", "infx", "infi", "nan", "-NaN",
      "nan(1)", "na", "n", "1e39", "-1e39", "1e-39", "1e-46", "3.4028235e38", "3.4028236e38",
      "0.000000000000000000000000000000000000000000001401298464324817",
      "123456789012345678901234567890", "00000000000000000000000001.5", "0", "-0", "00x1",
      "1,5", "1_000", "1e0001", "1e-0", "9e-999999", "9e999999", "", "   ", "\r\n1\r\n",
      "0.1f", "1d", "+-1", "--1", "+.e1", "0e", "0.e1", "0e+x", "85.000000", "-0.000000",
      "16777216", "16777217", "16777217.0", "1677721.7", "0.0000000001", "0.00000000001",
      "1000000000000", "100.", "0.1000000000000000", "7.000000001", "-.125000",
  };
  for (const char* text : cases) expectFloatLikeC(text);
}

TEST(TextScanner, IntFormsMatchTheCLibrary) {
  const char* cases[] = {"0",  "-0", "+5",         " 42", "-2147483648", "2147483647",
                         "-",  "+",  "x",          "12x", "1.5",         "007",
                         "\n\t 9 ", "+-3", "2147483648", "-2147483649", "99999999999", ""};
  for (const char* text : cases) expectIntLikeC(text);
}

TEST(TextScanner, RandomTokensMatchTheCLibrary) {
  std::mt19937 random(20261206);
  const std::string alphabet = "0123456789+-.eEpPxXinfatyINFATY \n\t";
  std::uniform_int_distribution<std::size_t> length(1, 14);
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::uniform_int_distribution<int> digitHeavy(0, 2);
  for (int round = 0; round < 20000; ++round) {
    std::string text;
    const std::size_t n = length(random);
    for (std::size_t k = 0; k < n; ++k) {
      // Mostly digits, so that many tokens are numbers worth comparing.
      text += digitHeavy(random) == 0 ? alphabet[pick(random)]
                                      : static_cast<char>('0' + random() % 10);
    }
    expectFloatLikeC(text);
    expectIntLikeC(text);
    if (HasFatalFailure()) return;
  }
}

TEST(TextScanner, RandomDecimalsRoundLikeStrtof) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
  std::uniform_int_distribution<int> exponent(-45, 38);
  char text[64];
  std::uniform_int_distribution<int> decimals(0, 12);
  for (int round = 0; round < 40000; ++round) {
    // Alternately with an exponent and as a plain decimal of a few to many digits.
    if (round % 2 == 0) {
      std::snprintf(text, sizeof text, "%.*ge%d", 1 + round % 17, mantissa(random),
                    exponent(random));
    } else {
      std::snprintf(text, sizeof text, "%.*f", decimals(random),
                    mantissa(random) * std::pow(10.0, round % 9 - 3));
    }
    expectFloatLikeC(text);
    if (HasFatalFailure()) return;
  }
}

TEST(TextScanner, StreamMatchesFscanfAcrossBufferBoundaries) {
  // Several buffers' worth of numbers of every length, so that tokens are cut
  // at each refill; the stream position after every token must agree.
  std::mt19937 random(99);
  std::string text;
  std::vector<bool> isInt;
  while (text.size() < 3 * TextScanner::kBufferSize + 1000) {
    const int kind = static_cast<int>(random() % 4);
    char token[96];
    if (kind == 0) {
      std::snprintf(token, sizeof token, "%d", static_cast<int>(random() % 2000000000u) - 1000000000);
    } else if (kind == 1) {
      std::snprintf(token, sizeof token, "%.9e", (random() % 100000) / 7.0);
    } else if (kind == 2) {
      std::snprintf(token, sizeof token, "%a", (random() % 1000) / 3.0);
    } else {
      std::snprintf(token, sizeof token, "%.*f", static_cast<int>(random() % 40),
                    (random() % 1000000) / 9.0);
    }
    text += token;
    text += (random() % 5 == 0) ? "\r\n" : " ";
    isInt.push_back(kind == 0);
  }
  TempDir dir;
  const std::string path = dir.file("numbers.txt");
  writeTextFile(path, text);

  std::FILE* reference = std::fopen(path.c_str(), "r");
  std::FILE* ours = std::fopen(path.c_str(), "r");
  ASSERT_TRUE(reference && ours);
  {
    TextScanner scan(ours);
    for (std::size_t k = 0; k < isInt.size(); ++k) {
      if (isInt[k]) {
        int expected = 0;
        std::int32_t actual = 0;
        ASSERT_EQ(std::fscanf(reference, "%d", &expected), 1);
        ASSERT_TRUE(scan.readInt(actual)) << "token " << k;
        ASSERT_EQ(actual, expected) << "token " << k;
      } else {
        float expected = 0.0f, actual = 0.0f;
        ASSERT_EQ(std::fscanf(reference, "%f", &expected), 1);
        ASSERT_TRUE(scan.readFloat(actual)) << "token " << k;
        ASSERT_TRUE(sameFloat(actual, expected)) << "token " << k;
      }
      ASSERT_EQ(text.size() - scan.bytesLeft(), static_cast<std::uint64_t>(std::ftell(reference)))
          << "token " << k;
    }
    float tail = 0.0f;
    EXPECT_FALSE(scan.readFloat(tail));
    EXPECT_TRUE(scan.atEnd());
  }
  std::fclose(reference);
  std::fclose(ours);
}

TEST(TextScanner, TokensAndLinesOfAnyLength) {
  const std::string longToken(3 * TextScanner::kBufferSize / 2, 'a');
  TempDir dir;
  const std::string path = dir.file("long.txt");
  writeTextFile(path, "  " + longToken + " short\r\nline two\nabcdefgh");
  std::FILE* file = std::fopen(path.c_str(), "r");
  ASSERT_NE(file, nullptr);
  {
    TextScanner scan(file);
    std::string token;
    ASSERT_TRUE(scan.readToken(token));
    EXPECT_EQ(token, longToken);
    ASSERT_TRUE(scan.readToken(token));
    EXPECT_EQ(token, "short");
    std::string line;
    ASSERT_TRUE(scan.readLine(line, 100));
    EXPECT_EQ(line, "\r\n");  // the rest of the line, as fgets gives it
    ASSERT_TRUE(scan.readLine(line, 4));
    EXPECT_EQ(line, "line");
    scan.skipRestOfLine();
    ASSERT_TRUE(scan.readLine(line, 100));
    EXPECT_EQ(line, "abcdefgh");  // the last line needs no line feed
    EXPECT_FALSE(scan.readLine(line, 100));
    EXPECT_FALSE(scan.readToken(token));
  }
  std::fclose(file);
}

TEST(TextScanner, NumberLongerThanTheBufferIsRefusedNotOverrun) {
  std::string digits(TextScanner::kBufferSize + 10, '1');
  TempDir dir;
  const std::string path = dir.file("digits.txt");
  writeTextFile(path, digits);
  std::FILE* file = std::fopen(path.c_str(), "r");
  ASSERT_NE(file, nullptr);
  {
    TextScanner scan(file);
    float value = 0.0f;
    EXPECT_FALSE(scan.readFloat(value));
  }
  std::fclose(file);
}
