// Reading side of TBackupFile: header, record sequence, data blocks (current and legacy),
// volume switches. Used by Restore and GetArchiveInfo.
//
// Invariants: every length read from the archive is checked against the fixed areas before
// it is used (chunks 1..16,384 bytes, legacy blocks 1..32,783, names 1..32,767); a volume
// switch must name the next volume, so a damaged archive cannot loop over one volume;
// events run on the caller's thread as each chunk's bytes are written, in archive order.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "archiveio.h"
#include "backup.h"
#include "piecepipeline.h"

class TBackupFile::Reader {
 public:
  Reader(TBackupFile& engine, std::unique_ptr<sonaro::backup::ArchiveInput> in,
         std::string archiveName, bool stream, int workers);
  ~Reader();

  // Title (UTF-8), TotalSize and FileCount into the engine; false when unreadable.
  bool ReadHeader(std::string& title);
  // GetArchiveInfo: the file-ID list when it is the first record; false when damaged.
  bool ReadLeadingFileList(std::vector<std::string>* lines);
  // Restore: records until the end marker, an error or a stop. destDir is empty or ends
  // with '/'. Throws EBackupError("Invalid archive type") for a bad signature in a block
  // that is being skipped.
  void RestoreRecords(const std::string& destDir);

 private:
  enum class Block { Ok, Corrupt, BadSignature };
  // Where a data block's bytes go: a file, memory, or nowhere (skipping).
  struct Sink {
    int fd = -1;
    std::string* memory = nullptr;
    bool failed = false;  // a write to the file or the memory cap failed
    bool Writing() const { return fd >= 0 || memory; }
    void Put(const unsigned char* data, int len);
  };

  // Reads one data block into the sink. With `create`, the block's bytes go to that new
  // target, created once its first chunks are on their way to the workers.
  Block ExtractBlock(Sink& sink, const std::string* create = nullptr);
  Block ReadChunks(Sink& sink, const std::string* create);
  // Chunks of one current data block, tagged so its pieces are told from the next one's.
  struct BlockState {
    std::size_t tag = 0;
    bool ended = false;  // its terminator has been read
    bool bad = false;    // it broke off: an impossible length or the end of the volume
  };
  // While restoring, the record after a block is read ahead with the first chunks of its
  // block, so the workers inflate them while the caller finishes the previous file. What
  // was read is kept for the caller's turn, damage included, and nothing is decided early.
  struct Ahead {
    bool have = false;
    bool broken = false;  // the archive ended or broke inside the record
    int32_t len = 0;
    std::string raw;
    int32_t date = 0;
    int sig = 0;  // see Signature()
    BlockState block;
  };
  enum Signature { kNone = 0, kCurrent, kLegacy, kBad, kUnreadable };
  void TopUp();
  void ReadOneChunk(BlockState& b);
  bool ReadAhead();
  int ReadSignature(BlockState& b);
  bool CreateTarget(const std::string& path, Sink& sink);
  // True when `path` is one of this archive's volume files (the same file, whatever name).
  bool IsArchiveVolume(const std::string& path) const;
  Block SkipChunks();
  Block ReadLegacy(Sink& sink);
  void Delivered(Sink& sink, const unsigned char* data, int len);
  // Decides about one file record; false when its name is unsafe or its directory fails.
  bool RestoreFile(const std::string& rawName, int32_t date, const std::string& destDir,
                   std::string& target, bool& write);
  bool Decide(const std::string& target, int32_t date) const;
  bool NextVolume(const std::string& record);
  void CloseTarget();
  bool ReadName(int32_t len, std::string& raw);
  bool NextRecord(int32_t& len, std::string& raw);

  TBackupFile& e_;
  std::unique_ptr<sonaro::backup::ArchiveInput> in_;
  std::string archiveName_;
  bool stream_;
  unsigned volume_ = 1;
  std::unique_ptr<sonaro::backup::PiecePipeline> pipeline_;
  std::vector<unsigned char> legacyIn_;
  std::vector<unsigned char> legacyOut_;
  // The file whose data block a volume switch continues.
  bool inFile_ = false;
  Sink target_;
  int32_t targetDate_ = 0;
  std::string lastDirectory_;
  BlockState cur_;
  Ahead ahead_;
  bool lookahead_ = false;
  bool aheadTaken_ = false;  // the caller has the read-ahead record; its block comes next
  std::size_t nextTag_ = 1;
};
