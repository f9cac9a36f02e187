#include "archivereader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "archiveformat.h"
#include "legacy.h"
#include "platformfs.h"

using namespace sonaro::backup;

namespace {

// True when a path below the destination passes through a symbolic link that is already
// there: the link could lead the file outside the destination.
bool PassesThroughLink(const std::string& destDir, const std::string& target) {
  for (auto slash = target.find('/', destDir.size());; slash = target.find('/', slash + 1)) {
    const std::string part = slash == std::string::npos ? target : target.substr(0, slash);
    struct stat st {};
    if (::lstat(part.c_str(), &st) != 0) return false;  // missing: the rest is made afresh
    if (S_ISLNK(st.st_mode)) return true;
    if (slash == std::string::npos) return false;
  }
}

}  // namespace

TBackupFile::Reader::Reader(TBackupFile& engine, std::unique_ptr<ArchiveInput> in,
                            std::string archiveName, bool stream, int workers)
    : e_(engine),
      in_(std::move(in)),
      archiveName_(std::move(archiveName)),
      stream_(stream),
      pipeline_(std::make_unique<PiecePipeline>(workers, 0)) {}

TBackupFile::Reader::~Reader() { CloseTarget(); }

void TBackupFile::Reader::Sink::Put(const unsigned char* data, int len) {
  if (failed || len <= 0) return;
  if (memory) {
    if (memory->size() + std::size_t(len) > kMaxFileListBytes) {
      failed = true;
    } else {
      memory->append(reinterpret_cast<const char*>(data), std::size_t(len));
    }
    return;
  }
  std::size_t done = 0;
  while (done < std::size_t(len)) {
    const ssize_t put = ::write(fd, data + done, std::size_t(len) - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      failed = true;
      return;
    }
    done += std::size_t(put);
  }
}

bool TBackupFile::Reader::ReadName(int32_t len, std::string& raw) {
  if (len <= 0 || len > kMaxNameLength) return false;
  raw.assign(std::size_t(len), '\0');
  return in_->Read(raw.data(), std::size_t(len));
}

bool TBackupFile::Reader::ReadHeader(std::string& title) {
  int32_t len = 0;
  if (!in_->ReadInt32(len) || len < 0 || len > kMaxTitleLength) return false;
  std::string raw(std::size_t(len), '\0');
  int32_t total = 0;
  int32_t count = 0;
  if (!in_->Read(raw.data(), raw.size()) || !in_->ReadInt32(total) || !in_->ReadInt32(count)) {
    return false;
  }
  e_.totalSize_ = total;
  e_.totalBytes_ = total > 0 ? total : 0;
  e_.fileCount_ = count;
  title = Cp1252ToUtf8(raw);
  return true;
}

bool TBackupFile::Reader::ReadLeadingFileList(std::vector<std::string>* lines) {
  int32_t len = 0;
  if (!in_->ReadInt32(len)) return false;
  if (len <= 0 || !lines) return true;
  std::string raw;
  if (!ReadName(len, raw)) return false;
  if (raw != kFileListName) return true;
  int32_t date = 0;
  std::string text;
  Sink sink;
  sink.memory = &text;
  if (!in_->ReadInt32(date) || ExtractBlock(sink) != Block::Ok || sink.failed) return false;
  lines->clear();
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines->push_back(Cp1252ToUtf8(line));
    start = end + 1;
  }
  return true;
}

int TBackupFile::Reader::ReadSignature(BlockState& b) {
  unsigned char sig[4];
  if (!in_->Read(sig, 4)) return kUnreadable;
  if (std::memcmp(sig, kSignatureCurrent, 4) == 0) {
    b = BlockState{nextTag_++, false, false};
    return kCurrent;
  }
  return std::memcmp(sig, kSignatureLegacy, 4) == 0 ? kLegacy : kBad;
}

TBackupFile::Reader::Block TBackupFile::Reader::ExtractBlock(Sink& sink,
                                                             const std::string* create) {
  int sig = kNone;
  if (aheadTaken_) {
    sig = ahead_.sig;
    cur_ = ahead_.block;
    ahead_ = Ahead{};
    aheadTaken_ = false;
  } else {
    sig = ReadSignature(cur_);
  }
  if (sig == kCurrent) return sink.Writing() || create ? ReadChunks(sink, create) : SkipChunks();
  if (sig == kLegacy) {
    if (create && !CreateTarget(*create, sink)) return Block::Corrupt;
    return ReadLegacy(sink);
  }
  return sig == kBad ? Block::BadSignature : Block::Corrupt;
}

bool TBackupFile::Reader::CreateTarget(const std::string& path, Sink& sink) {
  // A new file has no record of a backup; one that is overwritten loses it.
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0 && errno == EEXIST) {
    // Truncating the archive being read would lose it and every file still to come.
    if (IsArchiveVolume(path)) return false;
    fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd >= 0) fs::SetArchiveFlag(fd);
  }
  if (fd < 0) return false;
  sink.fd = fd;
  ++e_.filesProcessed_;
  return true;
}

bool TBackupFile::Reader::IsArchiveVolume(const std::string& path) const {
  struct stat target {};
  if (stream_ || ::stat(path.c_str(), &target) != 0) return false;
  for (unsigned n = 1; n < 1000; ++n) {
    const std::string volume = n == 1 ? archiveName_ : VolumeName(archiveName_, VolumeDigits(n));
    struct stat st {};
    if (::stat(volume.c_str(), &st) != 0) return false;  // no further volumes
    if (st.st_dev == target.st_dev && st.st_ino == target.st_ino) return true;
  }
  return false;
}

void TBackupFile::Reader::Delivered(Sink& sink, const unsigned char* data, int len) {
  sink.Put(data, len);
  e_.Pump();
  if (sink.fd >= 0) {
    e_.bytesProcessed_ += len;
    e_.Progress(e_.currentFile_);
  }
}

void TBackupFile::Reader::ReadOneChunk(BlockState& b) {
  int32_t c = 0;
  if (!in_->ReadInt32(c) || c < -kPieceSize || c > kPieceSize) {
    b.bad = true;
    return;
  }
  if (c == 0) {
    b.ended = true;
    return;
  }
  Piece& p = pipeline_->Claim();
  p.inLen = c > 0 ? c : -c;
  p.op = c > 0 ? PieceOp::Inflate : PieceOp::Copy;
  p.tag = b.tag;
  if (!in_->Read(p.in, std::size_t(p.inLen))) {
    b.bad = true;
  } else {
    pipeline_->Submit();
  }
}

// The next record, read once the current block has ended cleanly; false when there is none
// to read ahead. A volume switch or the end marker stops the reading ahead.
bool TBackupFile::Reader::ReadAhead() {
  if (ahead_.have) return true;
  if (!lookahead_ || !cur_.ended || cur_.bad) return false;
  ahead_ = Ahead{};
  ahead_.have = true;
  if (!in_->ReadInt32(ahead_.len) || (ahead_.len != 0 && !ReadName(ahead_.len, ahead_.raw))) {
    ahead_.broken = true;
  } else if (ahead_.len != 0 && ahead_.raw.compare(0, kNextDisk.size(), kNextDisk) != 0) {
    if (!in_->ReadInt32(ahead_.date)) {
      ahead_.broken = true;
    } else {
      ahead_.sig = ReadSignature(ahead_.block);
    }
  }
  return true;
}

void TBackupFile::Reader::TopUp() {
  while (!pipeline_->Full()) {
    if (!cur_.ended && !cur_.bad) {
      ReadOneChunk(cur_);
    } else if (ReadAhead() && ahead_.sig == kCurrent && !ahead_.block.ended &&
               !ahead_.block.bad) {
      ReadOneChunk(ahead_.block);
    } else {
      return;
    }
  }
}

// Chunks are read ahead while earlier ones inflate on the workers; their bytes are written
// strictly in order, and a stop or an error drops whatever was read ahead. A new target is
// created after the first chunks are submitted, so the workers need not wait for it.
TBackupFile::Reader::Block TBackupFile::Reader::ReadChunks(Sink& sink, const std::string* create) {
  TopUp();
  if (create && !CreateTarget(*create, sink)) {
    pipeline_->Clear();
    return Block::Corrupt;
  }
  while (e_.continue_) {
    TopUp();
    if (pipeline_->Empty() || pipeline_->FrontTag() != cur_.tag) break;
    Piece& p = pipeline_->Front();
    const bool copy = p.op == PieceOp::Copy;
    const bool broken = !copy && p.result == PieceResult::Failed;
    Delivered(sink, copy ? p.in : p.out, copy ? p.inLen : p.outLen);
    pipeline_->PopFront();
    if (broken) e_.Fail(6);  // the bytes it produced are written all the same
    if (sink.failed) {
      cur_.bad = true;
      break;
    }
  }
  const bool bad = cur_.bad;
  if (!e_.continue_ || bad) pipeline_->Clear();
  return bad && (e_.continue_ || sink.failed) ? Block::Corrupt : Block::Ok;
}

// Passes over a block: pieces read ahead are dropped, the rest skipped by their lengths.
TBackupFile::Reader::Block TBackupFile::Reader::SkipChunks() {
  while (e_.continue_ && !pipeline_->Empty() && pipeline_->FrontTag() == cur_.tag) {
    pipeline_->Front();
    pipeline_->PopFront();
    e_.Pump();
  }
  if (cur_.bad) return Block::Corrupt;
  while (e_.continue_ && !cur_.ended) {
    int32_t c = 0;
    if (!in_->ReadInt32(c) || c < -kPieceSize || c > kPieceSize) return Block::Corrupt;
    if (c == 0) break;
    if (!in_->Skip(std::size_t(c > 0 ? c : -c))) return Block::Corrupt;
    e_.Pump();
  }
  cur_.ended = true;
  return Block::Ok;
}


TBackupFile::Reader::Block TBackupFile::Reader::ReadLegacy(Sink& sink) {
  int32_t total = 0;
  if (!in_->ReadInt32(total) || total < 0) return Block::Corrupt;
  legacyIn_.resize(kLegacyBlockMax);
  legacyOut_.resize(kLegacyBlockMax);
  while (total > 0 && e_.continue_) {
    int32_t len = 0;
    if (!in_->ReadInt32(len) || len < 1 || len > kLegacyBlockMax || int64_t(len) + 4 > total ||
        !in_->Read(legacyIn_.data(), std::size_t(len))) {
      return Block::Corrupt;
    }
    total -= len + 4;
    if (!sink.Writing()) {
      e_.Pump();
      continue;
    }
    const int decoded = DecodeLegacyBlock(legacyIn_.data(), len, legacyOut_.data());
    if (decoded < 0) return Block::Corrupt;
    Delivered(sink, legacyOut_.data(), decoded);
    if (sink.failed) return Block::Corrupt;
  }
  return Block::Ok;
}

bool TBackupFile::Reader::Decide(const std::string& target, int32_t date) const {
  if (e_.RestoreMode == rmAll) return true;
  int32_t current = 0;
  const bool exists = fs::PathDosDate(target, current);
  switch (e_.RestoreMode) {
    case rmAll: return true;
    case rmNoOverwrite: return !exists;
    case rmNewer: return !exists || DosEarlier(current, date);
    case rmExisting: return exists;
    case rmExistingNewer: return exists && DosEarlier(current, date);
  }
  return false;
}

void TBackupFile::Reader::CloseTarget() {
  if (target_.fd >= 0) {
    fs::SetDosDate(target_.fd, targetDate_);
    ::close(target_.fd);
  }
  target_ = Sink{};
  inFile_ = false;
}

// One file record after its name and date: where it goes and whether it is written.
bool TBackupFile::Reader::RestoreFile(const std::string& rawName, int32_t date,
                                      const std::string& destDir, std::string& target,
                                      bool& write) {
  inFile_ = true;
  write = false;
  if (rawName == kFileListName) return true;  // never written, never shown
  const std::string name = Cp1252ToUtf8(rawName);
  if (!RestoreTarget(name, destDir, e_.RestoreFullPath, target) ||
      (!destDir.empty() && PassesThroughLink(destDir, target))) {
    e_.currentFile_ = name;  // would land outside the destination: touch nothing
    return false;
  }
  e_.currentFile_ = target;
  write = Decide(target, date);
  if (e_.OnRestoreFile) {
    e_.OnRestoreFile(e_, target, date, write);
    e_.currentFile_ = target;
  }
  if (!write) return true;
  targetDate_ = date;
  const auto slash = target.find_last_of('/');
  if (slash == std::string::npos || slash == 0) return true;
  // Files of one directory follow each other: make it once.
  const std::string dir = target.substr(0, slash);
  if (dir == lastDirectory_) return true;
  if (!fs::MakeDirectories(dir)) return false;
  lastDirectory_ = dir;
  return true;
}

bool TBackupFile::Reader::NextVolume(const std::string& record) {
  const std::string digits = record.size() >= 12 ? record.substr(9, 3) : std::string();
  // Only the next volume may follow: anything else is damage, and could loop forever.
  if (stream_ || digits != VolumeDigits(volume_ + 1)) {
    e_.Fail(1);
    return false;
  }
  in_.reset();
  const std::string path = VolumeName(archiveName_, digits);
  for (;;) {
    if (!e_.AskForDisk(uint16_t(std::stoi(digits)))) return false;
    if (fs::Exists(path)) break;
  }
  in_ = ArchiveInput::OpenFile(path);
  if (!in_) {
    e_.Fail(1);
    return false;
  }
  ++volume_;
  return true;
}

// The next record's length and name, from the reading ahead when there was one.
bool TBackupFile::Reader::NextRecord(int32_t& len, std::string& raw) {
  if (!ahead_.have) return in_->ReadInt32(len) && (len == 0 || ReadName(len, raw));
  len = ahead_.len;
  raw = ahead_.raw;
  return !ahead_.broken;
}

void TBackupFile::Reader::RestoreRecords(const std::string& destDir) {
  lookahead_ = true;
  while (e_.continue_) {
    int32_t len = 0;
    std::string raw;
    const bool haveAhead = ahead_.have;
    if (!NextRecord(len, raw)) {
      e_.Fail(1);
      break;
    }
    if (len == 0) break;  // end marker
    std::string target;
    bool write = target_.Writing();
    if (raw.compare(0, kNextDisk.size(), kNextDisk) == 0) {
      ahead_ = Ahead{};
      if (!inFile_) {
        e_.Fail(1);
        break;
      }
      if (!NextVolume(raw)) break;
    } else {
      CloseTarget();
      int32_t date = ahead_.date;
      if ((!haveAhead && !in_->ReadInt32(date)) || !RestoreFile(raw, date, destDir, target, write)) {
        e_.Fail(1);
        break;
      }
      aheadTaken_ = haveAhead;
    }
    const Block b = ExtractBlock(target_, write && !target_.Writing() ? &target : nullptr);
    if (b == Block::BadSignature && !write) throw EBackupError("Invalid archive type");
    if (b != Block::Ok || target_.failed) {
      e_.Fail(1);
      break;
    }
  }
  CloseTarget();
}
