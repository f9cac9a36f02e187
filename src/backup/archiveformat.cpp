#include "archiveformat.h"

#include <array>
#include <vector>

namespace sonaro::backup {

void PutInt32(unsigned char* p, int32_t v) {
  const auto u = uint32_t(v);
  p[0] = uint8_t(u);
  p[1] = uint8_t(u >> 8);
  p[2] = uint8_t(u >> 16);
  p[3] = uint8_t(u >> 24);
}

int32_t GetInt32(const unsigned char* p) {
  return int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 |
                 uint32_t(p[3]) << 24);
}

std::string VolumeDigits(unsigned number) {
  const std::string s = "00" + std::to_string(number);
  return s.substr(s.size() - 3);
}

std::string VolumeName(const std::string& firstVolume, const std::string& digits) {
  const auto slash = firstVolume.find_last_of('/');
  const auto dot = firstVolume.find_last_of('.');
  const bool hasExt = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (hasExt ? firstVolume.substr(0, dot) : firstVolume) + "." + digits;
}

int32_t DosDateTimeFromTime(std::time_t t) {
  std::tm lt{};
  if (!localtime_r(&t, &lt) || lt.tm_year + 1900 < 1980) {
    return int32_t((1u << 5 | 1u) << 16);  // 1980-01-01 00:00:00
  }
  if (lt.tm_year + 1900 > 2107) return int32_t(uint32_t(127u << 9 | 12u << 5 | 31u) << 16 |
                                                (23u << 11 | 59u << 5 | 29u));
  const uint32_t date = uint32_t(lt.tm_year + 1900 - 1980) << 9 | uint32_t(lt.tm_mon + 1) << 5 |
                        uint32_t(lt.tm_mday);
  const uint32_t time = uint32_t(lt.tm_hour) << 11 | uint32_t(lt.tm_min) << 5 |
                        uint32_t(lt.tm_sec / 2);
  return int32_t(date << 16 | time);
}

bool TimeFromDosDateTime(int32_t dosDateTime, std::time_t& t) {
  const auto v = uint32_t(dosDateTime);
  std::tm lt{};
  lt.tm_sec = int(v & 31) * 2;
  lt.tm_min = int(v >> 5 & 63);
  lt.tm_hour = int(v >> 11 & 31);
  lt.tm_mday = int(v >> 16 & 31);
  lt.tm_mon = int(v >> 21 & 15) - 1;
  lt.tm_year = int(v >> 25 & 127) + 80;
  lt.tm_isdst = -1;
  if (lt.tm_sec > 58 || lt.tm_min > 59 || lt.tm_hour > 23 || lt.tm_mday < 1 || lt.tm_mon < 0 ||
      lt.tm_mon > 11) {
    return false;
  }
  const int day = lt.tm_mday;
  const int month = lt.tm_mon;
  t = std::mktime(&lt);
  return t != std::time_t(-1) && lt.tm_mday == day && lt.tm_mon == month;
}

namespace {

// Code points of 0x80..0x9F; the five bytes Windows leaves undefined map to C1 controls.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

int ToCp1252(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return int(c);
  for (std::size_t i = 0; i < kHigh.size(); ++i) {
    if (kHigh[i] == c) return int(0x80 + i);
  }
  return -1;
}

// Decodes one UTF-8 sequence at s[i]; returns false on malformed input.
bool NextCodePoint(std::string_view s, std::size_t& i, char32_t& c) {
  const auto b = uint8_t(s[i]);
  if (b < 0x80) {
    c = b;
    ++i;
    return true;
  }
  const int extra = (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : 0;
  if (extra == 0 || s.size() - i <= std::size_t(extra)) return false;
  c = char32_t(b & (0x3F >> extra));
  for (int k = 1; k <= extra; ++k) {
    const auto cb = uint8_t(s[i + std::size_t(k)]);
    if ((cb & 0xC0) != 0x80) return false;
    c = c << 6 | (cb & 0x3F);
  }
  static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
  if (c < kMin[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
  i += std::size_t(extra) + 1;
  return true;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += char(c);
  } else if (c < 0x800) {
    out += char(0xC0 | c >> 6);
    out += char(0x80 | (c & 0x3F));
  } else {
    out += char(0xE0 | c >> 12);
    out += char(0x80 | (c >> 6 & 0x3F));
    out += char(0x80 | (c & 0x3F));
  }
}

bool Encode(std::string_view utf8, std::string& out, bool lossy) {
  out.clear();
  std::size_t i = 0;
  while (i < utf8.size()) {
    char32_t c = 0;
    int b = -1;
    if (NextCodePoint(utf8, i, c)) {
      b = ToCp1252(c);
    } else {
      ++i;
    }
    if (b < 0 && !lossy) return false;
    out += b < 0 ? '?' : char(b);
  }
  return true;
}

}  // namespace

bool Utf8ToCp1252(std::string_view utf8, std::string& out) { return Encode(utf8, out, false); }

std::string Utf8ToCp1252Lossy(std::string_view utf8) {
  std::string out;
  Encode(utf8, out, true);
  return out;
}

std::string Cp1252ToUtf8(std::string_view cp1252) {
  std::string out;
  out.reserve(cp1252.size());
  for (const char ch : cp1252) {
    const auto b = uint8_t(ch);
    AppendUtf8(out, b >= 0x80 && b < 0xA0 ? char32_t(kHigh[b - 0x80]) : char32_t(b));
  }
  return out;
}

std::string AsciiLower(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  }
  return out;
}

namespace {

bool IsSep(char c) { return c == '/' || c == '\\'; }

enum class Root { None, Posix, Drive, Unc };

// Splits a stored name on both separators, since a Windows reader takes '\' as one.
bool SplitStored(std::string_view s, Root& root, std::vector<std::string_view>& segs) {
  std::size_t i = 0;
  root = Root::None;
  if (s.size() >= 2 && s[1] == ':' &&
      ((s[0] >= 'a' && s[0] <= 'z') || (s[0] >= 'A' && s[0] <= 'Z'))) {
    root = Root::Drive;
    i = 2;
  } else if (s.size() >= 2 && IsSep(s[0]) && IsSep(s[1])) {
    root = Root::Unc;
  } else if (!s.empty() && IsSep(s[0])) {
    root = Root::Posix;
  }
  while (i < s.size()) {
    std::size_t j = i;
    while (j < s.size() && !IsSep(s[j])) ++j;
    if (j > i) segs.push_back(s.substr(i, j - i));
    i = j + 1;
  }
  if (root == Root::Unc) {  // \\server\share is the root
    if (segs.size() < 2) return false;
    segs.erase(segs.begin(), segs.begin() + 2);
  }
  for (const auto seg : segs) {
    if (seg == "." || seg == "..") return false;
  }
  return !segs.empty();
}

}  // namespace

bool RestoreTarget(const std::string& stored, const std::string& destDir, bool fullPath,
                   std::string& target) {
  if (stored.find('\0') != std::string::npos || stored.empty() || IsSep(stored.back())) {
    return false;  // a NUL, or no file name
  }
  Root root = Root::None;
  std::vector<std::string_view> segs;
  if (!SplitStored(stored, root, segs)) return false;
  if (destDir.empty()) {
    if (root != Root::Posix) return false;
    target.clear();
    for (const auto seg : segs) (target += '/') += seg;
    return true;
  }
  target = destDir;
  if (!fullPath) {
    target += segs.back();
    return true;
  }
  for (std::size_t k = 0; k < segs.size(); ++k) {
    if (k > 0) target += '/';
    target += segs[k];
  }
  return true;
}

}  // namespace sonaro::backup
