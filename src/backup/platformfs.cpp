#include "platformfs.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "archiveformat.h"

namespace sonaro::backup::fs {

namespace {
constexpr const char* kArchivedAttr = "user.sonaro.archived";

std::string StampOf(const struct stat& st) {
  return std::to_string(st.st_size) + ":" + std::to_string(st.st_mtim.tv_sec) + "." +
         std::to_string(st.st_mtim.tv_nsec);
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }
}  // namespace

bool Exists(const std::string& path) {
  struct stat st{};
  return ::stat(path.c_str(), &st) == 0;
}

bool IsDirectory(const std::string& path) {
  struct stat st{};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsRegularFile(const std::string& path) {
  struct stat st{};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string FullPath(const std::string& path) {
  std::error_code ec;
  std::filesystem::path p = std::filesystem::absolute(path, ec);
  if (ec) p = path;
  std::string s = p.lexically_normal().string();
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

std::vector<DirEntry> ListDirectory(const std::string& dir) {
  std::vector<DirEntry> out;
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return out;
  while (const dirent* e = ::readdir(d)) {
    const std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    const std::string full = dir + "/" + name;
    struct stat lst{};
    struct stat st{};
    if (::lstat(full.c_str(), &lst) != 0) continue;
    DirEntry entry{name, S_ISDIR(lst.st_mode), false};
    entry.file = ::stat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    out.push_back(std::move(entry));
  }
  ::closedir(d);
  std::sort(out.begin(), out.end(),
            [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
  return out;
}

bool WildcardMatch(const std::string& pattern, const std::string& name) {
  if (pattern == "*.*" || pattern == "*") return true;
  // Iterative glob with one backtrack point: linear enough for file names.
  std::size_t p = 0, n = 0, star = std::string::npos, mark = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || Lower(pattern[p]) == Lower(name[n]))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      mark = n;
    } else if (star != std::string::npos) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool MakeDirectories(const std::string& dir) {
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  return IsDirectory(dir);
}

int OpenForReading(const std::string& path, int64_t& size, int32_t& dosDate) {
  // O_NONBLOCK so that a fifo slipped in between listing and storing cannot hang us.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return -1;
  struct stat st{};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return -1;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  size = int64_t(st.st_size);
  dosDate = DosDateTimeFromTime(st.st_mtim.tv_sec);
  return fd;
}

bool PathDosDate(const std::string& path, int32_t& dosDate) {
  struct stat st{};
  if (::stat(path.c_str(), &st) != 0) return false;
  dosDate = DosDateTimeFromTime(st.st_mtim.tv_sec);
  return true;
}

void SetDosDate(int fd, int32_t dosDate) {
  std::time_t t = 0;
  if (!TimeFromDosDateTime(dosDate, t)) return;
  const timespec times[2] = {{0, UTIME_OMIT}, {t, 0}};
  ::futimens(fd, times);
}

bool HasArchiveFlag(const std::string& path) {
  struct stat st{};
  if (::stat(path.c_str(), &st) != 0) return true;
  char value[128];
  const ssize_t len = ::getxattr(path.c_str(), kArchivedAttr, value, sizeof value);
  return len < 0 || std::string(value, std::size_t(len)) != StampOf(st);
}

void ClearArchiveFlag(const std::string& path) {
  struct stat st{};
  if (::stat(path.c_str(), &st) != 0) return;
  const std::string stamp = StampOf(st);
  ::setxattr(path.c_str(), kArchivedAttr, stamp.data(), stamp.size(), 0);
}

void SetArchiveFlag(int fd) { ::fremovexattr(fd, kArchivedAttr); }

int CreateTempFile(const std::string& prefix, std::string& path) {
  const char* tmp = std::getenv("TMPDIR");
  std::string dir = tmp && *tmp ? tmp : "/tmp";
  if (dir.back() != '/') dir += '/';
  std::string templ = dir + prefix + "XXXXXX";
  const int fd = ::mkstemp(templ.data());
  if (fd >= 0) path = templ;
  return fd;
}

}  // namespace sonaro::backup::fs
