// The few file-system services the engine needs, on POSIX: status, dates, directory
// listing, wildcard masks, and the archive attribute kept in an extended attribute.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sonaro::backup::fs {

struct DirEntry {
  std::string name;
  bool directory = false;  // a real directory, not a link to one (no cycles)
  bool file = false;       // a regular file, possibly through a link
};

bool Exists(const std::string& path);
bool IsDirectory(const std::string& path);
bool IsRegularFile(const std::string& path);
// Absolute and lexically normal ("." and ".." resolved as text, as Windows expands names).
std::string FullPath(const std::string& path);
// Entries of a directory except "." and "..", sorted by name; empty when unreadable.
std::vector<DirEntry> ListDirectory(const std::string& dir);
// Windows wildcard match ('*', '?'; "*.*" matches every name), ASCII letters in any case.
bool WildcardMatch(const std::string& pattern, const std::string& name);
// Creates a directory with its missing parents; true when it exists afterwards.
bool MakeDirectories(const std::string& dir);

// Opens a file to store; returns the descriptor or -1, with its size and DOS date.
int OpenForReading(const std::string& path, int64_t& size, int32_t& dosDate);
// DOS date-time of a path's last write; false when it does not exist.
bool PathDosDate(const std::string& path, int32_t& dosDate);
// Sets a file's last-write time from a DOS date-time (an impossible date changes nothing).
void SetDosDate(int fd, int32_t dosDate);

// The archive attribute: a file has it unless a backup cleared it and the file has kept the
// size and last-write time that were recorded then. Where extended attributes are refused,
// every file has it.
bool HasArchiveFlag(const std::string& path);
void ClearArchiveFlag(const std::string& path);
// Writing a file sets its archive attribute again.
void SetArchiveFlag(int fd);

// Creates a uniquely named file "<tmp>/<prefix>XXXXXX"; -1 on failure.
int CreateTempFile(const std::string& prefix, std::string& path);

}  // namespace sonaro::backup::fs
