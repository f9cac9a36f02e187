// Helpers for the backup tests: archives assembled byte by byte (never by the writer under
// test), a scratch directory, and small file utilities.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace backuptest {

using Bytes = std::vector<unsigned char>;

// Builds archive bytes field by field, in the order a reader expects them.
class ArchiveBytes {
 public:
  ArchiveBytes& Int32(int32_t v);
  ArchiveBytes& Raw(const std::string& s);
  ArchiveBytes& Raw(const Bytes& b);
  ArchiveBytes& Text(const std::string& s) { return Int32(int32_t(s.size())).Raw(s); }
  ArchiveBytes& Header(const std::string& title, int32_t total, int32_t count) {
    return Text(title).Int32(total).Int32(count);
  }
  // A file record with one current data block holding the given chunks.
  ArchiveBytes& FileRecord(const std::string& name, int32_t dosDate) {
    return Text(name).Int32(dosDate);
  }
  ArchiveBytes& Ec2() { return Raw(std::string("EC2", 4)); }
  ArchiveBytes& Stored(const std::string& piece) {
    return Int32(-int32_t(piece.size())).Raw(piece);
  }
  ArchiveBytes& Compressed(const std::string& piece, int level = 6);
  ArchiveBytes& End() { return Int32(0); }
  const Bytes& bytes() const { return b_; }
  std::string str() const { return std::string(b_.begin(), b_.end()); }

 private:
  Bytes b_;
};

// A zlib stream made with zlib itself (compress2), as any writer would.
Bytes ZlibStream(const std::string& data, int level = 6);

class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

void WriteFile(const std::string& path, const std::string& data);
void WriteFile(const std::string& path, const Bytes& data);
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);
// Sets a file's last-write time to a local date and time.
void SetLocalTime(const std::string& path, int y, int mo, int d, int h, int mi, int s);
// Deterministic bytes: compressible text, or noise that no compressor shrinks.
std::string TextBytes(std::size_t n, unsigned seed = 1);
std::string NoiseBytes(std::size_t n, unsigned seed = 1);
// Every regular file below a directory (relative names), sorted.
std::vector<std::string> FilesBelow(const std::string& dir);

}  // namespace backuptest
