// The OBJ reader against tinyobjloader and a plain fgets + sscanf reader, on
// a model of about a million triangles with and without vt/vn lines.
// Run: build/bench/obj_reader_bench
#include <benchmark/benchmark.h>
#include <tiny_obj_loader.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "formats/readers.h"
#include "bench_models.h"

namespace {

// 708 x 708 cells, two triangles each: 1,002,528 triangles, 502,681 vertices.
std::string makeObjText(bool withAttributes) {
  const MeshObject grid = makeTriangleGrid(708);
  std::string text = "# generated grid\no grid\n";
  char line[128];
  for (std::int32_t i = 0; i < grid.numVertices(); ++i) {
    const float* v = &grid.vertices[3 * static_cast<std::size_t>(i)];
    std::snprintf(line, sizeof line, "v %f %f %f\n", v[0], v[1], v[2]);
    text += line;
    if (withAttributes) {
      std::snprintf(line, sizeof line, "vt %f %f\nvn 0.000000 0.000000 1.000000\n", v[0] / 8,
                    v[1] / 8);
      text += line;
    }
  }
  for (std::int32_t f = 0; f < grid.numFaces(); ++f) {
    auto face = grid.faces[static_cast<std::size_t>(f)];
    if (withAttributes) {
      std::snprintf(line, sizeof line, "f %d/%d/%d %d/%d/%d %d/%d/%d\n", face[0] + 1, face[0] + 1,
                    face[0] + 1, face[1] + 1, face[1] + 1, face[1] + 1, face[2] + 1, face[2] + 1,
                    face[2] + 1);
    } else {
      std::snprintf(line, sizeof line, "f %d %d %d\n", face[0] + 1, face[1] + 1, face[2] + 1);
    }
    text += line;
  }
  return text;
}

const std::string& benchFile(bool withAttributes) {
  static std::string paths[2];
  std::string& path = paths[withAttributes ? 1 : 0];
  if (path.empty()) {
    path = (std::filesystem::temp_directory_path() /
            (withAttributes ? "tessera-bench-grid-vtvn.obj" : "tessera-bench-grid.obj"))
               .string();
    const std::string text = makeObjText(withAttributes);
    std::FILE* file = std::fopen(path.c_str(), "w");
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
  }
  return path;
}

// What a reader written the plain way does: fgets a line, sscanf its numbers,
// one vector per face.
bool readWithSscanf(const char* name, std::vector<float>& vertices,
                    std::vector<std::vector<int>>& faces) {
  std::FILE* file = std::fopen(name, "r");
  if (file == nullptr) return false;
  char line[512];
  while (std::fgets(line, sizeof line, file) != nullptr) {
    if (line[0] == 'v' && line[1] == ' ') {
      float x = 0, y = 0, z = 0;
      if (std::sscanf(line + 2, "%f %f %f", &x, &y, &z) == 3) {
        vertices.insert(vertices.end(), {x, y, z});
      }
    } else if (line[0] == 'f' && line[1] == ' ') {
      std::vector<int> face;
      const char* p = line + 2;
      int index = 0, used = 0;
      while (std::sscanf(p, "%d%n", &index, &used) == 1) {
        face.push_back(index - 1);
        p += used;
        while (*p != '\0' && *p != ' ' && *p != '\n') ++p;  // skip /vt/vn
      }
      faces.push_back(std::move(face));
    }
  }
  std::fclose(file);
  return true;
}

void setThroughput(benchmark::State& state, bool withAttributes) {
  state.SetBytesProcessed(state.iterations() *
                          static_cast<std::int64_t>(std::filesystem::file_size(benchFile(withAttributes))));
}

void BM_FgetsSscanf(benchmark::State& state) {
  const bool attributes = state.range(0) != 0;
  const std::string& name = benchFile(attributes);
  for (auto _ : state) {
    std::vector<float> vertices;
    std::vector<std::vector<int>> faces;
    readWithSscanf(name.c_str(), vertices, faces);
    benchmark::DoNotOptimize(faces.data());
  }
  setThroughput(state, attributes);
}

void BM_TinyObjLoader(benchmark::State& state) {
  const bool attributes = state.range(0) != 0;
  const std::string& name = benchFile(attributes);
  for (auto _ : state) {
    tinyobj::attrib_t attrib;
    std::vector<tinyobj::shape_t> shapes;
    std::vector<tinyobj::material_t> materials;
    std::string warn, err;
    if (!tinyobj::LoadObj(&attrib, &shapes, &materials, &warn, &err, name.c_str(), nullptr,
                          false)) {
      state.SkipWithError("tinyobjloader failed");
      break;
    }
    benchmark::DoNotOptimize(shapes.data());
  }
  setThroughput(state, attributes);
}

void BM_ReadObjFile(benchmark::State& state) {
  const bool attributes = state.range(0) != 0;
  const std::string& name = benchFile(attributes);
  std::size_t bytes = 0;
  for (auto _ : state) {
    ReadResult model = readObjFile(name.c_str());
    if (!model) {
      state.SkipWithError("read failed");
      break;
    }
    bytes = modelBytes((*model)[0]);
    benchmark::DoNotOptimize(model->data());
  }
  setThroughput(state, attributes);
  state.counters["model_MiB"] = static_cast<double>(bytes) / (1 << 20);
}

// Argument: 0 positions and faces only, 1 with vt/vn lines and v/vt/vn groups.
BENCHMARK(BM_FgetsSscanf)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_TinyObjLoader)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_ReadObjFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

BENCHMARK_MAIN();
