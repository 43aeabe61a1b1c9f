#include "formats/off_writer.h"

#include <gtest/gtest.h>

#include "formats/readers.h"
#include "support/mesh_builders.h"
#include "support/temp_dir.h"

TEST(OffWriter, RoundTripExactTextAndMergedObjects) {
  IsolatedState state;
  const MeshObject torus = makeTorus(12, 8, 2.0f, 0.5f);
  const std::string path = state.dir().file("torus.off");
  ASSERT_TRUE(writeOffFile(torus, path.c_str()));
  const ReadResult back = readOffFile(path.c_str());
  ASSERT_TRUE(back);
  const MeshObject& read = back.model[0];
  ASSERT_EQ(read.numVertices(), torus.numVertices());
  for (std::size_t k = 0; k < torus.vertices.size(); ++k) EXPECT_NEAR(read.vertices[k], torus.vertices[k], 5e-7) << k;
  EXPECT_EQ(read.faces.indices, torus.faces.indices);
  EXPECT_EQ(read.faces.offsets, torus.faces.offsets);

  // Several objects are merged into one; none give an empty model.
  Model two;
  two.push_back(makeObject({0, 0, 0, 1, -0.5f, 0, 0, 1, 0, 1, 1, 0}, {{0, 1, 2}, {3, 2}}));
  two.push_back(makeObject({5, 5, 5, 6, 5, 5, 5, 6, 5}, {{0, 1, 2}}));
  ASSERT_TRUE(writeModelAsOff(two, path.c_str()));
  EXPECT_EQ(readTextFile(path),
            "OFF\n7 3 0\n0.000000 0.000000 0.000000\n1.000000 -0.500000 0.000000\n"
            "0.000000 1.000000 0.000000\n1.000000 1.000000 0.000000\n5.000000 5.000000 5.000000\n"
            "6.000000 5.000000 5.000000\n5.000000 6.000000 5.000000\n3 0 1 2 \n2 3 2 \n3 4 5 6 \n");
  ASSERT_TRUE(writeModelAsOff(Model{}, path.c_str()));
  EXPECT_EQ(readTextFile(path), "OFF\n0 0 0\n");
  EXPECT_EQ(writeModelAsOff(two, state.dir().file("no/such/folder/out.off").c_str()).reason, "No such file or directory");
}
