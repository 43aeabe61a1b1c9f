#include <gtest/gtest.h>

#include "formats/reader_test_support.h"
#include "model/current_model.h"

TEST(XReader, BinaryFilesGiveOneEmptyObject) {
  IsolatedState state;
  for (const char* type : {"bin ", "bzip"}) {
    objectCount = 7;
    std::optional<Model> model = readFixture(state, readXFile, xHeader(type), "cube.x");
    ASSERT_TRUE(model) << type;
    ASSERT_EQ(model->size(), 1u);
    EXPECT_EQ((*model)[0].numVertices, 0);
    EXPECT_EQ((*model)[0].numFaces, 0);
    EXPECT_EQ(objectCount, 1);
  }
}

TEST(XReader, TextAndCompressedFilesEndTheProgram) {
  IsolatedState state;
  const std::string text = state.dir().file("text.x");
  writeBytesFile(text, xHeader("txt "));
  EXPECT_EXIT(readXFile(text.c_str()), testing::ExitedWithCode(255), "ASCII .x files not supported.");
  const std::string compressed = state.dir().file("zip.x");
  writeBytesFile(compressed, xHeader("com ", "lzw "));
  EXPECT_EXIT(readXFile(compressed.c_str()), testing::ExitedWithCode(255),
              "Compressed .x files not supported.");
}
