// Decoder of the LZRW1-KH blocks that older archives ("ECS" data blocks) hold.
#pragma once

namespace sonaro::backup {

// Decodes the block in[0..len) into out, which has room for kLegacyBlockMax bytes.
// Returns the decoded length, or -1 when the block is malformed: a length outside
// 1..kLegacyBlockMax, an item cut short, a copy reaching before the output's start, or
// output beyond kLegacyBlockMax. Never reads or writes outside the two areas.
int DecodeLegacyBlock(const unsigned char* in, int len, unsigned char* out);

}  // namespace sonaro::backup
