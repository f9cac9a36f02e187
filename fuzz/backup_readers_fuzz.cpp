// Fuzz target over the archive readers: GetArchiveInfo on the bytes as a stream, then Restore
// of the bytes as a volume file into a scratch destination. Any write outside that destination
// aborts, as would any crash, hang or sanitizer report.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "backup.h"

namespace {

// Never destroyed, so that the exit handler still finds it.
const std::filesystem::path& Scratch() {
  static const std::filesystem::path* dir = [] {
    std::string templ = std::filesystem::temp_directory_path().string() + "/sonaro-fuzz-XXXXXX";
    if (!mkdtemp(templ.data())) std::abort();
    return new std::filesystem::path(templ);
  }();
  static const bool cleanup = [] {
    return std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(*dir, ec);
    }) == 0;
  }();
  (void)cleanup;
  return *dir;
}

void ReadInfo(const std::string& bytes) {
  std::istringstream in(bytes);
  TBackupFile b;
  b.InStream = &in;
  std::vector<std::string> lines;
  std::string title;
  b.GetArchiveInfo(":STREAM", &lines, title);
}

void RestoreInto(const std::string& bytes, bool fullPath, int workers) {
  const auto archive = Scratch() / "in.bck";
  const auto dest = Scratch() / "out";
  std::ofstream(archive, std::ios::binary | std::ios::trunc) << bytes;
  TBackupFile b;
  b.RestoreFullPath = fullPath;
  b.WorkerThreads = workers;
  int prompts = 0;
  b.OnNeedDisk = [&prompts](TBackupFile&, uint16_t, bool& go) { go = ++prompts < 3; };
  try {
    b.Restore(archive.string(), dest.string());
  } catch (const EBackupError&) {
  }
  if (b.Busy()) std::abort();
  for (const auto& entry : std::filesystem::directory_iterator(Scratch())) {
    const auto name = entry.path().filename();
    if (name != "in.bck" && name != "out") std::abort();  // escaped the destination
  }
  std::filesystem::remove_all(dest);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  ReadInfo(bytes);
  const uint8_t knobs = size > 0 ? data[size - 1] : 0;
  RestoreInto(bytes, (knobs & 1) != 0, (knobs & 2) ? 2 : 0);
  return 0;
}
