// Buffered reading and writing of archive volumes, from a file or from a caller's stream.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace sonaro::backup {

class ArchiveInput {
 public:
  // Opens a volume for reading; nullptr when it cannot be opened.
  static std::unique_ptr<ArchiveInput> OpenFile(const std::string& path);
  static std::unique_ptr<ArchiveInput> FromStream(std::istream& stream);
  ~ArchiveInput();
  ArchiveInput(const ArchiveInput&) = delete;
  ArchiveInput& operator=(const ArchiveInput&) = delete;

  // False when fewer than n bytes remain or reading fails.
  bool Read(void* dst, std::size_t n);
  bool ReadInt32(int32_t& v);
  // Moves past n bytes; false when the volume ends before.
  bool Skip(std::size_t n);

 private:
  ArchiveInput(int fd, std::istream* stream);
  std::ptrdiff_t Fill(unsigned char* dst, std::size_t n);

  int fd_;
  std::istream* stream_;
  std::vector<unsigned char> buf_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
};

class ArchiveOutput {
 public:
  // Creates (or truncates) a volume; nullptr when that fails.
  static std::unique_ptr<ArchiveOutput> CreateFile(const std::string& path);
  static std::unique_ptr<ArchiveOutput> FromStream(std::ostream& stream);
  ~ArchiveOutput();
  ArchiveOutput(const ArchiveOutput&) = delete;
  ArchiveOutput& operator=(const ArchiveOutput&) = delete;

  // A failure is sticky: later writes fail too.
  bool Write(const void* src, std::size_t n);
  bool WriteInt32(int32_t v);
  // Bytes written to this volume so far, buffered ones included.
  int64_t Position() const { return position_; }
  // Flushes and closes a file (a stream is only flushed); false when anything failed.
  bool Close();

 private:
  ArchiveOutput(int fd, std::ostream* stream);
  bool Flush();

  int fd_;
  std::ostream* stream_;
  std::vector<unsigned char> buf_;
  std::size_t used_ = 0;
  int64_t position_ = 0;
  bool failed_ = false;
};

}  // namespace sonaro::backup
