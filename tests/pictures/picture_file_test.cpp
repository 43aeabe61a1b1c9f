// Background pictures of every kind, told by their first bytes: pictures
// written by another program against their PPM twins, refusals, and the
// exported view read back from PNG, BMP and JPEG. The exported layout (bottom row
// first, B G R, the headers) is pinned by the golden pictures of tessera-tool render.
#include "pictures/picture_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "render/image_export.h"
#include "pictures/png_file.h"
#include "render_fixture.h"

namespace {

const std::string kData = TESSERA_SOURCE_DIR "/tests/data/pictures/";

// A PPM picture (rows top first) as RGB rows bottom first.
RgbImage readPpm(const std::string& path) {
  std::istringstream ppm(readTextFile(path));
  std::string magic;
  RgbImage image;
  int depth = 0;
  ppm >> magic >> image.width >> image.height >> depth;
  ppm.get();
  const std::string rgb(std::istreambuf_iterator<char>(ppm), {});
  const auto row = static_cast<std::size_t>(image.width) * 3;
  for (int y = image.height - 1; y >= 0; --y) {
    image.pixels.insert(image.pixels.end(), rgb.begin() + static_cast<std::ptrdiff_t>(row * static_cast<std::size_t>(y)),
                        rgb.begin() + static_cast<std::ptrdiff_t>(row * static_cast<std::size_t>(y + 1)));
  }
  return image;
}

std::string refusal(const std::string& path) {
  std::string reason;
  return loadPicture(path.c_str(), &reason) ? "shown" : reason;
}

}  // namespace

TEST(PictureFile, EveryPictureReadsAsItsTwin) {
  int pictures = 0;
  for (const auto& entry : std::filesystem::directory_iterator(kData)) {
    const std::string name = entry.path().filename().string(), ending = entry.path().extension().string();
    if (ending == ".ppm" || ending == ".md") continue;
    const std::string stem = entry.path().stem().string();
    const RgbImage twin = readPpm(kData + stem.substr(0, stem.find('-', stem.find('-') + 1)) + ".ppm");
    const std::optional<RgbImage> image = loadPicture(entry.path().c_str());
    ASSERT_TRUE(image) << name;
    ASSERT_TRUE(image->width == twin.width && image->height == twin.height) << name;
    // JPEG keeps colours within a small error; the others exactly.
    const int tolerance = ending == ".jpg" ? 12 : 0;
    int worst = 0;
    for (std::size_t k = 0; k < twin.pixels.size(); ++k) worst = std::max(worst, std::abs(image->pixels[k] - twin.pixels[k]));
    EXPECT_LE(worst, tolerance) << name;
    ++pictures;
  }
  EXPECT_EQ(pictures, 8);
}

TEST(PictureFile, DamagedCutShortAndHugePicturesAreRefused) {
  IsolatedState state;
  const std::string png = readTextFile(kData + "many-colours-rgb.png"), jpeg = readTextFile(kData + "eight-colours.jpg");
  // JPEG: the start-of-frame segment holds the height and width (2 bytes each, big-endian).
  const auto frameSized = [&](int width, int height) {
    std::string bytes = jpeg;
    const std::size_t sof = bytes.find("\xFF\xC0");
    bytes[sof + 5] = static_cast<char>(height >> 8), bytes[sof + 6] = static_cast<char>(height);
    bytes[sof + 7] = static_cast<char>(width >> 8), bytes[sof + 8] = static_cast<char>(width);
    return bytes;
  };
  const std::string wide = state.dir().file("wide.png");
  const std::vector<std::uint8_t> row(40000 * 3 + 4, 200);
  ASSERT_TRUE(writePng(wide.c_str(), 40000, 1, row.data(), row.size()));
  writePicture(state.dir().file("good.bmp"), 8, 8, [](int x, int y) { return Rgb{x, y, 7}; });
  const std::string bmp = readTextFile(state.dir().file("good.bmp"));
  const auto patched = [&](std::size_t at, char value) {
    std::string bytes = bmp;
    bytes[at] = value;
    return bytes;
  };
  const struct {
    const char* name;
    std::string bytes;
    const char* reason;
  } cases[] = {
      {"cut.png", png.substr(0, png.find("IDAT") + 16), "is damaged or truncated"},  // inside the pixels
      {"header.png", png.substr(0, 20), "is damaged or truncated"},
      {"cut.jpg", jpeg.substr(0, jpeg.size() / 2), "is damaged or truncated"},
      {"junk.jpg", "\xFF\xD8\xFF" + std::string(200, 'j'), "is damaged or truncated"},
      {"wide.jpg", frameSized(40000, 5), "is more than 32768 pixels across"},
      {"huge.jpg", frameSized(16000, 6000), "is too large to show (more than 256 MB of colour)"},
      {"text.png", "no picture at all", "is not a BMP picture"},
      {"not-bm.bmp", patched(0, 'X'), "is not a BMP picture"},
      {"pixels-in-the-header.bmp", patched(10, 40), "is damaged or truncated"},
      {"tall.bmp", patched(25, '\xFF'), "is more than 32768 pixels across"},
      {"rows-short-of-the-stated-size.bmp", patched(34, 16), "is damaged or truncated"},
      {"no-width.bmp", patched(18, 0), "is damaged or truncated"},
      {"wide.bmp", patched(20, 1), "is more than 32768 pixels across"},
      {"cut.bmp", bmp.substr(0, bmp.size() - 5), "is damaged or truncated"},
      {"bm.bmp", std::string("BM\0", 3), "is damaged or truncated"},
  };
  for (const auto& c : cases) {
    writeTextFile(state.dir().file(c.name), c.bytes);
    EXPECT_EQ(refusal(state.dir().file(c.name)), c.reason) << c.name;
  }
  EXPECT_EQ(refusal(wide), "is more than 32768 pixels across");
  EXPECT_EQ(refusal(state.dir().file("absent.png")), "No such file or directory");
}

TEST_F(RenderTest, TheExportedViewIsTheKindItsNameEndsWithAndReadsBackTheSame) {
  ASSERT_TRUE(makeOffscreenContextCurrent(301, 97));
  resizeView(camera, 301, 97);
  show({makeObject({0, 0, 0, 2, 0, 0, 0, 1, 0}, {{0, 1, 2}})});  // not symmetric: rows or columns swapped show
  viewOptions.backgroundColor = {0.2f, 0.4f, 0.6f};  // not zero: rows read without their padding show
  applyBackgroundColor(viewOptions);
  draw();
  const struct {
    const char* name;
    std::string signature;  // the file's first bytes; none: refused, nothing written
    double tolerance;       // JPEG keeps colours roughly
  } cases[] = {
      {"view.bmp", "BM", 0},          {"view.PNG", "\x89PNG", 0},  {"view.png", "\x89PNG", 0},
      {"view.jpg", "\xFF\xD8\xFF", 1}, {"view.JPEG", "\xFF\xD8\xFF", 1},
      {"view", "", 0},                {"view.tif", "", 0},          {"view.png.txt", "", 0},
  };
  std::optional<RgbImage> first;
  for (const auto& c : cases) {
    const std::string path = state.dir().file(c.name);
    const WriteResult written = exportImage(path.c_str(), 301, 97);
    if (c.signature.empty()) {
      EXPECT_EQ(written.reason, kUnknownPictureEnding) << c.name;
      EXPECT_FALSE(std::filesystem::exists(path)) << c.name;
      continue;
    }
    ASSERT_TRUE(written) << c.name;
    EXPECT_EQ(readTextFile(path).substr(0, c.signature.size()), c.signature) << c.name;
    // Read back by the background's own decoders.
    const std::optional<RgbImage> image = loadPicture(path.c_str());
    ASSERT_TRUE(image && image->width == 301 && image->height == 97) << c.name;
    if (!first) first = image;
    double error = 0;  // per channel, on average
    for (std::size_t k = 0; k < first->pixels.size(); ++k) error += std::abs(image->pixels[k] - first->pixels[k]);
    EXPECT_LE(error / static_cast<double>(first->pixels.size()), c.tolerance) << c.name;
  }
  // Not one colour: the model is in the picture.
  EXPECT_NE(std::count(first->pixels.begin(), first->pixels.end(), first->pixels[0]), static_cast<long>(first->pixels.size()));
  // BMP rows are padded to 4 bytes with zeros; without height only the headers are written.
  const std::string bmp = readTextFile(state.dir().file("view.bmp"));
  ASSERT_EQ(bmp.size(), 54u + 904u * 97);
  for (std::size_t y = 0; y < 97; ++y) EXPECT_EQ(bmp[54 + 904 * y + 903], 0) << y;
  ASSERT_TRUE(exportImage(state.dir().file("flat.bmp").c_str(), 301, 0));
  EXPECT_EQ(readTextFile(state.dir().file("flat.bmp")).size(), 54u);
}
