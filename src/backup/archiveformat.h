// Byte-level facts of the backup archive and the conversions around them: little-endian
// int32, signatures, volume names, packed DOS date-time, Windows-1252 names, and where a
// stored name may be restored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace sonaro::backup {

inline constexpr int kPieceSize = 16384;           // raw bytes per chunk, and the zlib output area
inline constexpr int kHeadroom = 16484;            // kPieceSize + 100: checked before each chunk
inline constexpr int kLegacyBlockMax = 32783;      // input and output area of a legacy block
inline constexpr int kMaxNameLength = 32767;       // longest record name a reader accepts
inline constexpr int kMaxTitleLength = 1 << 20;    // longest title a reader accepts
inline constexpr std::size_t kMaxFileListBytes = 16u << 20;  // file-ID list kept in memory

inline constexpr char kSignatureCurrent[4] = {'E', 'C', '2', '\0'};
inline constexpr char kSignatureLegacy[4] = {'E', 'C', 'S', '\0'};
inline constexpr std::string_view kFileListName = "FILE:LIST";
inline constexpr std::string_view kNextDisk = "NEXT:DISK";
inline constexpr std::string_view kStreamName = ":STREAM";

void PutInt32(unsigned char* p, int32_t v);
int32_t GetInt32(const unsigned char* p);

// "002" for 2; only the last three digits count, as the volume names wrap after 999.
std::string VolumeDigits(unsigned number);
// Volume 1 "x/Backup.bck" -> "x/Backup.002": the file name's extension is replaced (or added).
std::string VolumeName(const std::string& firstVolume, const std::string& digits);

// Packed FAT date-time of a time, in local time; clamped to 1980..2107.
int32_t DosDateTimeFromTime(std::time_t t);
// False when the packed value names no real date (month 0, hour 25, ...).
bool TimeFromDosDateTime(int32_t dosDateTime, std::time_t& t);
// Chronological comparison: the year field uses the sign bit from 2044 on.
inline bool DosEarlier(int32_t a, int32_t b) { return uint32_t(a) < uint32_t(b); }

// Names and texts are stored in Windows-1252. False when the UTF-8 text is malformed or holds
// a character the code page lacks; `lossy` variants write '?' for those instead.
bool Utf8ToCp1252(std::string_view utf8, std::string& out);
std::string Utf8ToCp1252Lossy(std::string_view utf8);
std::string Cp1252ToUtf8(std::string_view cp1252);

// Lower-cases A-Z only, as stored names on Windows are.
std::string AsciiLower(std::string_view s);

// Where a stored name (Windows or POSIX spelling, UTF-8) is restored. destDir is empty
// (to the stored path) or ends with '/'. Returns false when the name is unsafe: it holds
// "." or ".." segments or a NUL, has no file name, is not an absolute POSIX path when
// restoring to stored paths, or would otherwise land outside destDir.
bool RestoreTarget(const std::string& stored, const std::string& destDir, bool fullPath,
                   std::string& target);

}  // namespace sonaro::backup
