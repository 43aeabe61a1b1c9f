#include "formats/mtl_reader.h"

#include <strings.h>

#include <cstring>
#include <optional>

#include "platform/text_scanner.h"

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

// The first word of `s`, taken off it.
std::string_view takeWord(std::string_view& s) {
  s = trimmed(s);
  std::size_t n = 0;
  while (n < s.size() && !isBlank(s[n])) ++n;
  const std::string_view word = s.substr(0, n);
  s.remove_prefix(n);
  return word;
}

bool sameWord(std::string_view a, const char* b) {
  return a.size() == std::strlen(b) && strncasecmp(a.data(), b, a.size()) == 0;
}

// The word as a number, when it is one whole.
std::optional<float> numberOf(std::string_view word) {
  float value = 0.0f;
  const char* end = word.data() + word.size();
  if (word.empty() || parseFloatField(word.data(), end, value) != end) return std::nullopt;
  return value;
}

// The numbers at the start of `s`, at most `most`, taken off it.
int takeNumbers(std::string_view& s, float* values, int most) {
  int n = 0;
  while (n < most) {
    std::string_view rest = s;
    const std::optional<float> value = numberOf(takeWord(rest));
    if (!value) break;
    values[n++] = *value;
    s = rest;
  }
  return n;
}

// The file a map statement names: its options (with their arguments) go
// first, the name is the rest of the line and may hold blanks.
std::string_view mapFileName(std::string_view s) {
  struct Option {
    const char* name;
    int words;  // fixed arguments; 0: up to three numbers
  };
  static constexpr Option kOptions[] = {{"-blendu", 1}, {"-blendv", 1},  {"-bm", 1},     {"-boost", 1}, {"-cc", 1},
                                        {"-clamp", 1},  {"-imfchan", 1}, {"-texres", 1}, {"-type", 1},  {"-mm", 2},
                                        {"-o", 0},      {"-s", 0},       {"-t", 0}};
  for (;;) {
    s = trimmed(s);
    std::string_view rest = s;
    const std::string_view word = takeWord(rest);
    if (word.size() < 2 || word[0] != '-' || numberOf(word)) return s;
    const Option* known = nullptr;
    for (const Option& option : kOptions) {
      if (sameWord(word, option.name)) known = &option;
    }
    float ignored[3];
    if (known != nullptr && known->words > 0) {
      for (int k = 0; k < known->words; ++k) takeWord(rest);
    } else {
      takeNumbers(rest, ignored, 3);  // and an option not known here: its numbers
    }
    s = rest;
  }
}

}  // namespace

std::vector<MtlMaterial> readMtlText(std::string_view text) {
  std::vector<MtlMaterial> materials;
  // Where both are given, d is the opacity; Tr is its older complement.
  bool opacityGiven = false;
  while (!text.empty()) {
    // A CR alone ends a line in old Mac files; the one of a CR LF leaves an
    // empty line, which says nothing.
    const std::size_t lf = text.find_first_of("\r\n");
    std::string_view line = text.substr(0, lf);
    text.remove_prefix(lf == std::string_view::npos ? text.size() : lf + 1);
    const std::string_view keyword = takeWord(line);
    if (sameWord(keyword, "newmtl")) {
      materials.push_back(MtlMaterial{std::string(trimmed(line)), Rgba{}, {}});
      opacityGiven = false;
      continue;
    }
    if (materials.empty()) continue;
    MtlMaterial& m = materials.back();
    float v[3];
    if (sameWord(keyword, "Kd")) {
      // "Kd spectral file" and "Kd xyz x y z" are not colours the viewer
      // can show; one number is a grey.
      const int n = takeNumbers(line, v, 3);
      if (n == 1) m.color.r = m.color.g = m.color.b = v[0];
      if (n == 3) m.color.r = v[0], m.color.g = v[1], m.color.b = v[2];
    } else if (sameWord(keyword, "d")) {
      std::string_view rest = line;
      if (sameWord(takeWord(rest), "-halo")) line = rest;
      if (takeNumbers(line, v, 1) == 1) m.color.a = v[0], opacityGiven = true;
    } else if (sameWord(keyword, "Tr")) {
      if (takeNumbers(line, v, 1) == 1 && !opacityGiven) m.color.a = 1.0f - v[0];
    } else if (sameWord(keyword, "map_Kd")) {
      m.texture = std::string(mapFileName(line));
    }
  }
  // A material that would hide its faces wholly is far more often a
  // writer's slip than a wish (some write Tr 1 or d 0 for an opaque one):
  // it is shown opaque.
  for (MtlMaterial& m : materials) {
    if (m.color.a <= 0.0f) m.color.a = 1.0f;
  }
  return materials;
}
