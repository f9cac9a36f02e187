// Replays the seed corpus through the fuzz target in the ordinary test run.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  const char* source = std::getenv("SONARO_SOURCE_DIR");
  const std::filesystem::path dir =
      argc > 1 ? argv[1] : std::filesystem::path(source ? source : ".") / "fuzz/corpus/backup";
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string bytes(std::istreambuf_iterator<char>(in), {});
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    ++count;
  }
  std::printf("%d inputs replayed from %s\n", count, dir.c_str());
  return count > 0 ? 0 : 1;
}
