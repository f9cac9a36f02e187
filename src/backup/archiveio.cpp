#include "archiveio.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <istream>
#include <ostream>

#include "archiveformat.h"

namespace sonaro::backup {

namespace {
constexpr std::size_t kInputBuffer = 256 * 1024;
constexpr std::size_t kOutputBuffer = 256 * 1024;
}  // namespace

ArchiveInput::ArchiveInput(int fd, std::istream* stream)
    : fd_(fd), stream_(stream), buf_(kInputBuffer) {}

ArchiveInput::~ArchiveInput() {
  if (fd_ >= 0) ::close(fd_);
}

std::unique_ptr<ArchiveInput> ArchiveInput::OpenFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  return std::unique_ptr<ArchiveInput>(new ArchiveInput(fd, nullptr));
}

std::unique_ptr<ArchiveInput> ArchiveInput::FromStream(std::istream& stream) {
  return std::unique_ptr<ArchiveInput>(new ArchiveInput(-1, &stream));
}

std::ptrdiff_t ArchiveInput::Fill(unsigned char* dst, std::size_t n) {
  if (stream_) {
    stream_->read(reinterpret_cast<char*>(dst), std::streamsize(n));
    return stream_->gcount() > 0 ? std::ptrdiff_t(stream_->gcount()) : (stream_->bad() ? -1 : 0);
  }
  for (;;) {
    const ssize_t got = ::read(fd_, dst, n);
    if (got >= 0 || errno != EINTR) return got;
  }
}

bool ArchiveInput::Read(void* dst, std::size_t n) {
  auto* out = static_cast<unsigned char*>(dst);
  while (n > 0) {
    if (pos_ == end_) {
      if (n >= buf_.size()) {  // large reads bypass the buffer
        const auto got = Fill(out, n);
        if (got <= 0) return false;
        out += got;
        n -= std::size_t(got);
        continue;
      }
      const auto got = Fill(buf_.data(), buf_.size());
      if (got <= 0) return false;
      pos_ = 0;
      end_ = std::size_t(got);
    }
    const std::size_t take = std::min(n, end_ - pos_);
    std::memcpy(out, buf_.data() + pos_, take);
    pos_ += take;
    out += take;
    n -= take;
  }
  return true;
}

bool ArchiveInput::ReadInt32(int32_t& v) {
  unsigned char b[4];
  if (!Read(b, 4)) return false;
  v = GetInt32(b);
  return true;
}

bool ArchiveInput::Skip(std::size_t n) {
  const std::size_t take = std::min(n, end_ - pos_);
  pos_ += take;
  n -= take;
  if (n == 0) return true;
  if (fd_ >= 0) {
    // Seeking past the end succeeds, so check the size: a skip must not pass it silently.
    const off_t here = ::lseek(fd_, 0, SEEK_CUR);
    const off_t size = here < 0 ? -1 : ::lseek(fd_, 0, SEEK_END);
    if (size < 0 || off_t(n) > size - here) return false;
    return ::lseek(fd_, here + off_t(n), SEEK_SET) >= 0;
  }
  unsigned char scratch[4096];
  while (n > 0) {
    const std::size_t step = std::min(n, sizeof scratch);
    if (!Read(scratch, step)) return false;
    n -= step;
  }
  return true;
}

ArchiveOutput::ArchiveOutput(int fd, std::ostream* stream)
    : fd_(fd), stream_(stream), buf_(kOutputBuffer) {}

ArchiveOutput::~ArchiveOutput() { Close(); }

std::unique_ptr<ArchiveOutput> ArchiveOutput::CreateFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  return std::unique_ptr<ArchiveOutput>(new ArchiveOutput(fd, nullptr));
}

std::unique_ptr<ArchiveOutput> ArchiveOutput::FromStream(std::ostream& stream) {
  return std::unique_ptr<ArchiveOutput>(new ArchiveOutput(-1, &stream));
}

bool ArchiveOutput::Flush() {
  if (failed_) return false;
  std::size_t done = 0;
  while (done < used_) {
    if (stream_) {
      stream_->write(reinterpret_cast<const char*>(buf_.data()), std::streamsize(used_));
      failed_ = !*stream_;
      done = used_;
      break;
    }
    const ssize_t put = ::write(fd_, buf_.data() + done, used_ - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      failed_ = true;
      break;
    }
    done += std::size_t(put);
  }
  used_ = 0;
  return !failed_;
}

bool ArchiveOutput::Write(const void* src, std::size_t n) {
  if (failed_) return false;
  const auto* in = static_cast<const unsigned char*>(src);
  position_ += int64_t(n);
  while (n > 0) {
    const std::size_t take = std::min(n, buf_.size() - used_);
    std::memcpy(buf_.data() + used_, in, take);
    used_ += take;
    in += take;
    n -= take;
    if (used_ == buf_.size() && !Flush()) return false;
  }
  return true;
}

bool ArchiveOutput::WriteInt32(int32_t v) {
  unsigned char b[4];
  PutInt32(b, v);
  return Write(b, 4);
}

bool ArchiveOutput::Close() {
  bool ok = Flush();
  if (stream_) {
    stream_->flush();
    ok = ok && bool(*stream_);
    stream_ = nullptr;
  }
  if (fd_ >= 0) {
    ok = ::close(fd_) == 0 && ok;
    fd_ = -1;
  }
  failed_ = failed_ || !ok;
  return ok;
}

}  // namespace sonaro::backup
