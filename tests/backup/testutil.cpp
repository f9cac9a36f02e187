#include "testutil.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

namespace backuptest {

ArchiveBytes& ArchiveBytes::Int32(int32_t v) {
  const auto u = uint32_t(v);
  for (int i = 0; i < 4; ++i) b_.push_back(uint8_t(u >> (8 * i)));
  return *this;
}

ArchiveBytes& ArchiveBytes::Raw(const std::string& s) {
  b_.insert(b_.end(), s.begin(), s.end());
  return *this;
}

ArchiveBytes& ArchiveBytes::Raw(const Bytes& b) {
  b_.insert(b_.end(), b.begin(), b.end());
  return *this;
}

ArchiveBytes& ArchiveBytes::Compressed(const std::string& piece, int level) {
  const Bytes z = ZlibStream(piece, level);
  return Int32(int32_t(z.size())).Raw(z);
}

Bytes ZlibStream(const std::string& data, int level) {
  uLongf len = compressBound(uLong(data.size()));
  Bytes out(len);
  if (compress2(out.data(), &len, reinterpret_cast<const Bytef*>(data.data()), uLong(data.size()),
                level) != Z_OK) {
    throw std::runtime_error("compress2");
  }
  out.resize(len);
  return out;
}

ScratchDir::ScratchDir() {
  std::string templ = std::filesystem::temp_directory_path().string() + "/sonaro-backup-XXXXXX";
  if (!mkdtemp(templ.data())) throw std::runtime_error("mkdtemp");
  path_ = templ;
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

void WriteFile(const std::string& path, const std::string& data) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary | std::ios::trunc) << data;
}

void WriteFile(const std::string& path, const Bytes& data) {
  WriteFile(path, std::string(data.begin(), data.end()));
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool FileExists(const std::string& path) {
  struct stat st{};
  return ::stat(path.c_str(), &st) == 0;
}

void SetLocalTime(const std::string& path, int y, int mo, int d, int h, int mi, int s) {
  std::tm lt{};
  lt.tm_year = y - 1900;
  lt.tm_mon = mo - 1;
  lt.tm_mday = d;
  lt.tm_hour = h;
  lt.tm_min = mi;
  lt.tm_sec = s;
  lt.tm_isdst = -1;
  const timespec times[2] = {{0, UTIME_OMIT}, {std::mktime(&lt), 0}};
  utimensat(AT_FDCWD, path.c_str(), times, 0);
}

std::string TextBytes(std::size_t n, unsigned seed) {
  static const char* const words[] = {"Battisti ", "Mina ", "canzone ", "amore ", "1972 ",
                                      "Numero Uno\r\n", "Vinile ", "Lucio ", "Pop "};
  std::mt19937 rng(seed);
  std::string s;
  while (s.size() < n) s += words[rng() % 9];
  s.resize(n);
  return s;
}

std::string NoiseBytes(std::size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::string s(n, '\0');
  for (auto& c : s) c = char(rng());
  return s;
}

std::vector<std::string> FilesBelow(const std::string& dir) {
  std::vector<std::string> out;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir)) {
    if (e.is_regular_file()) out.push_back(std::filesystem::relative(e.path(), dir).string());
  }
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace backuptest
