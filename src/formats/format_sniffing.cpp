#include "formats/format_sniffing.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string_view>
#include <vector>

#include "platform/file_handle.h"

namespace {

std::string_view textOf(std::span<const std::uint8_t> head) {
  return {reinterpret_cast<const char*>(head.data()), head.size()};
}

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

std::uint32_t littleEndian32(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
         static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

std::string_view skipBlanks(std::string_view text) {
  std::size_t k = 0;
  while (k < text.size() && std::isspace(static_cast<unsigned char>(text[k]))) ++k;
  return text.substr(k);
}

std::string lowered(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// Each line of the head starts with a word OBJ knows (or is blank or a
// comment), and some are vertices: the last line may be cut off.
bool looksLikeObj(std::string_view text) {
  static constexpr std::string_view kWords[] = {"v",  "vn",     "vt",     "vp", "f",  "l",      "p",     "o", "g",
                                                "s",  "mtllib", "usemtl", "#",  "vc", "cstype", "deg",   "curv", "surf",
                                                "parm", "end",  "mg",     "lod", "usemap", "maplib", "bevel", "c_interp",
                                                "d_interp", "trace_obj", "shadow_obj", "ctech", "stech"};
  int vertices = 0, lines = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) break;  // the last, perhaps cut, line says nothing
    const std::string_view line = skipBlanks(text.substr(start, end - start));
    start = end + 1;
    if (line.empty()) continue;
    ++lines;
    const std::string_view word = line.substr(0, std::min(line.find_first_of(" \t"), line.size()));
    if (word[0] == '#') continue;
    if (std::find(std::begin(kWords), std::end(kWords), word) == std::end(kWords)) return false;
    vertices += word == "v";
  }
  return vertices >= 3 && lines >= 3;
}

const FormatInfo* row(FormatId id) { return formatInfo(id); }

}  // namespace

const FormatInfo* formatOfContent(std::span<const std::uint8_t> head, std::uint64_t fileSize) {
  const std::string_view text = textOf(head);
  // Magic numbers first: they cannot be mistaken.
  if (startsWith(text, "glTF")) return row(formatGlb);
  if (startsWith(text, "IDP2")) return row(formatQuake2);
  if (startsWith(text, "IDPO")) return row(formatQuake1);
  if (startsWith(text, "xof ")) return row(formatDirectX);
  if (startsWith(text, "Caligari ")) return row(formatTruespace);
  if (startsWith(text, "# vtk DataFile")) return row(formatVtk);
  if (startsWith(text, "ply") && text.size() > 3 && (text[3] == '\n' || text[3] == '\r')) return row(formatPly);
  if (startsWith(text, "FORM") && text.size() >= 12) {
    const std::string_view type = text.substr(8, 4);
    if (type == "LWOB" || type == "LWLO" || type == "LWO2" || type == "LWO3") return row(formatLightwave);
  }
  // A binary STL's size follows from its triangle count; nothing else is
  // that exact, so it is asked before the looser text checks.
  if (head.size() >= 84 && fileSize == 84 + 50 * static_cast<std::uint64_t>(littleEndian32(head, 80))) {
    return row(formatStl);
  }
  // 3D Studio: the main chunk's id and a length that is the file's.
  if (head.size() >= 6 && head[0] == 0x4D && head[1] == 0x4D && littleEndian32(head, 2) == fileSize) {
    return row(format3DStudio);
  }
  const std::string_view start = skipBlanks(text);
  const std::string lower = lowered(start.substr(0, 512));
  if (startsWith(lower, "solid") && lower.find("facet") != std::string::npos) return row(formatStl);
  const std::size_t headerEnd = start.find_first_of(" \t\r\n");
  const std::string_view firstWord = start.substr(0, headerEnd == std::string_view::npos ? start.size() : headerEnd);
  if (firstWord.size() >= 3 && firstWord.size() <= 8 && lowered(firstWord.substr(firstWord.size() - 3)) == "off") {
    return row(formatOff);
  }
  if (startsWith(start, "<") && text.find("<VTKFile") != std::string_view::npos) return row(formatVtp);
  if (!start.empty() && start.front() == '{') {
    // JSON: glTF's own top-level names (the asset may come after kilobytes of meshes).
    for (std::string_view key : {"\"asset\"", "\"accessors\"", "\"bufferViews\"", "\"meshes\""}) {
      if (text.find(key) != std::string_view::npos) return row(formatGltf);
    }
  }
  // DXF: group code 0 (or 999, a comment) on its own line, then a section.
  if ((startsWith(start, "0\n") || startsWith(start, "0\r\n") || startsWith(start, "999")) &&
      text.find("SECTION") != std::string_view::npos) {
    return row(formatDxf);
  }
  if (looksLikeObj(text)) return row(formatWavefront);
  return nullptr;
}

const FormatInfo* formatOfFileContent(const char* name) {
  struct stat info {};
  if (stat(name, &info) != 0 || !S_ISREG(info.st_mode)) return nullptr;
  FileHandle file(std::fopen(name, "rb"));
  if (!file) return nullptr;
  std::vector<std::uint8_t> head(kSniffedBytes);
  head.resize(std::fread(head.data(), 1, head.size(), file.get()));
  if (head.empty()) return nullptr;
  return formatOfContent(head, static_cast<std::uint64_t>(info.st_size));
}
