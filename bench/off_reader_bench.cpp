// The OFF reader against a plain fscanf loop on a model of about a million
// triangles. Run: build/bench/off_reader_bench
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "formats/readers.h"
#include "bench_models.h"

namespace {

const std::string& benchFile() {
  static const std::string path = [] {
    const std::string name =
        (std::filesystem::temp_directory_path() / "tessera-bench-grid.off").string();
    // 708 x 708 cells, two triangles each: 1,002,528 triangles.
    const std::string text = offText(makeTriangleGrid(708));
    std::FILE* file = std::fopen(name.c_str(), "w");
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
    return name;
  }();
  return path;
}

std::int64_t fileBytes() { return static_cast<std::int64_t>(std::filesystem::file_size(benchFile())); }

// What a reader written the plain way does: fscanf for every number, one
// vector per face.
bool readWithFscanf(const char* name, std::vector<float>& vertices,
                    std::vector<std::vector<int>>& faces) {
  std::FILE* file = std::fopen(name, "r");
  if (file == nullptr) return false;
  char header[64];
  int nv = 0, nf = 0, ne = 0;
  bool ok = std::fscanf(file, "%63s %d %d %d", header, &nv, &nf, &ne) == 4;
  vertices.resize(3 * static_cast<std::size_t>(nv));
  for (int i = 0; ok && i < 3 * nv; ++i) ok = std::fscanf(file, "%f", &vertices[i]) == 1;
  faces.resize(static_cast<std::size_t>(nf));
  for (int f = 0; ok && f < nf; ++f) {
    int n = 0;
    ok = std::fscanf(file, "%d", &n) == 1;
    faces[f].resize(static_cast<std::size_t>(n));
    for (int k = 0; ok && k < n; ++k) ok = std::fscanf(file, "%d", &faces[f][k]) == 1;
  }
  std::fclose(file);
  return ok;
}

void BM_FscanfLoop(benchmark::State& state) {
  const std::string& name = benchFile();
  for (auto _ : state) {
    std::vector<float> vertices;
    std::vector<std::vector<int>> faces;
    if (!readWithFscanf(name.c_str(), vertices, faces)) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(faces.data());
  }
  state.SetBytesProcessed(state.iterations() * fileBytes());
}

void BM_ReadOffFile(benchmark::State& state) {
  const std::string& name = benchFile();
  std::size_t bytes = 0;
  for (auto _ : state) {
    ReadResult model = readOffFile(name.c_str());
    if (!model) {
      state.SkipWithError("read failed");
      break;
    }
    bytes = modelBytes((*model)[0]);
    benchmark::DoNotOptimize(model->data());
  }
  state.SetBytesProcessed(state.iterations() * fileBytes());
  state.counters["model_MiB"] = static_cast<double>(bytes) / (1 << 20);
}

BENCHMARK(BM_FscanfLoop)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ReadOffFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
