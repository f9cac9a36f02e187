#include "legacy.h"

#include <cstring>

#include "archiveformat.h"

namespace sonaro::backup {

namespace {

constexpr unsigned char kStoredFlag = 0x80;

// One copy or run item at in[p]; returns the input bytes it used, or 0 when malformed.
int DecodeReference(const unsigned char* in, int len, int p, unsigned char* out, int& outLen) {
  if (p + 1 >= len) return 0;
  const int offset = in[p] * 16 + (in[p + 1] >> 4);
  if (offset != 0) {
    const int count = (in[p + 1] & 15) + 3;
    if (offset > outLen || outLen + count > kLegacyBlockMax) return 0;
    for (int k = 0; k < count; ++k, ++outLen) {
      out[outLen] = out[outLen - offset];  // one at a time: overlapping copies repeat bytes
    }
    return 2;
  }
  if (p + 3 >= len) return 0;
  const int count = (in[p + 1] << 8 | in[p + 2]) + 16;
  if (outLen + count > kLegacyBlockMax) return 0;
  std::memset(out + outLen, in[p + 3], std::size_t(count));
  outLen += count;
  return 4;
}

}  // namespace

int DecodeLegacyBlock(const unsigned char* in, int len, unsigned char* out) {
  if (len < 1 || len > kLegacyBlockMax) return -1;
  if (in[0] == kStoredFlag) {
    std::memcpy(out, in + 1, std::size_t(len - 1));
    return len - 1;
  }
  // Any other flag (the encoders wrote 0x40, some 0) marks a compressed block.
  if (len < 3) return -1;
  unsigned control = unsigned(in[1]) << 8 | in[2];
  int items = 16;
  int p = 3;
  int outLen = 0;
  while (p < len) {
    if (items == 0) {
      if (p + 1 >= len) return -1;
      control = unsigned(in[p]) << 8 | in[p + 1];
      p += 2;
      items = 16;
      if (p >= len) break;
    }
    const bool reference = (control & 0x8000) != 0;
    control = (control << 1) & 0xFFFF;
    --items;
    if (!reference) {
      if (outLen >= kLegacyBlockMax) return -1;
      out[outLen++] = in[p++];
      continue;
    }
    const int used = DecodeReference(in, len, p, out, outLen);
    if (used == 0) return -1;
    p += used;
  }
  return outLen;
}

}  // namespace sonaro::backup
