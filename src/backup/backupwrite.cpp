// TBackupFile::Backup: collect the files, measure them, write header, file records and data
// blocks, spread over volumes.
//
// Volume switch invariants: the limit is checked only before a chunk, so records and chunks
// are written whole; a switch happens only while bytes of the current file remain (pieces
// in flight, or not yet read), and writes the terminator, then the switch record as the
// last bytes of the volume. The next volume starts with a data block of the same file.
// Pieces are read ahead and compressed on the workers; only the caller's thread writes, in
// order, so the archive does not depend on the number of workers.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "archiveformat.h"
#include "archiveio.h"
#include "backup.h"
#include "piecepipeline.h"
#include "platformfs.h"

using namespace sonaro::backup;

namespace {

int ZlibLevel(TCompressionLevel level) {
  switch (level) {
    case clFastest: return 1;
    case clNone: return 0;
    case clDefault: return -1;
    case clMax: return 9;
  }
  return 1;
}

std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// Reads up to a piece, retrying short reads so that every piece but the last is whole.
int ReadPiece(int fd, unsigned char* buf) {
  int got = 0;
  while (got < kPieceSize) {
    const ssize_t n = ::read(fd, buf + got, std::size_t(kPieceSize - got));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) break;
    got += int(n);
  }
  return got;
}

}  // namespace

// A mask is "<directory>/<pattern>", optionally followed by " /s" (any case) for the whole
// tree. Only that trailing switch counts, because "/s" also starts POSIX paths ("/srv").
void TBackupFile::CollectFiles(const std::string& mask, std::vector<std::string>& list) {
  std::string m = Trim(mask);
  bool recursive = false;
  if (m.size() >= 3 && (m.compare(m.size() - 2, 2, "/s") == 0 ||
                        m.compare(m.size() - 2, 2, "/S") == 0) &&
      (m[m.size() - 3] == ' ' || m[m.size() - 3] == '\t')) {
    recursive = true;
    m = Trim(m.substr(0, m.size() - 2));
  }
  if (m.empty()) return;
  const auto slash = m.find_last_of('/');
  const std::string dir = fs::FullPath(slash == std::string::npos ? "." : m.substr(0, slash + 1));
  const std::string pattern = slash == std::string::npos ? m : m.substr(slash + 1);
  if (pattern.empty()) return;
  CollectMatches(dir, pattern, recursive, list);
}

void TBackupFile::CollectMatches(const std::string& dir, const std::string& pattern,
                                 bool recursive, std::vector<std::string>& list) {
  const std::string prefix = dir == "/" ? dir : dir + "/";
  for (const auto& entry : fs::ListDirectory(dir)) {
    if (!fs::WildcardMatch(pattern, entry.name)) continue;
    const std::string full = prefix + entry.name;
    if (entry.directory) {
      // As on Windows, only subdirectories matching the pattern are entered.
      if (recursive) CollectMatches(full, pattern, true, list);
      continue;
    }
    if (!entry.file || full == archiveName_ || seen_.count(full)) continue;
    if (backupMode_ == bmIncremental && !fs::HasArchiveFlag(full)) continue;
    seen_.insert(full);
    list.push_back(full);
  }
}

void TBackupFile::MeasureFiles(std::vector<std::string>& list, std::string& fileIdText) {
  for (const auto& path : list) {
    if (!fs::Exists(path)) continue;
    int64_t size = 0;
    int32_t date = 0;
    const int fd = fs::OpenForReading(path, size, date);
    if (fd < 0) {
      throw EBackupError("Cannot open file \"" + path + "\". " + std::strerror(errno));
    }
    ::close(fd);
    totalBytes_ += size;
    if (SaveFileID) {
      fileIdText += Utf8ToCp1252Lossy(path) + "\t" + std::to_string(date) + "=" +
                    std::to_string(size) + "\r\n";
    }
  }
}

bool TBackupFile::SaveFileIdList(const std::string& text, std::string& tempPath) {
  const int fd = fs::CreateTempFile("FID", tempPath);
  if (fd < 0) return false;
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += std::size_t(n);
  }
  return ::close(fd) == 0 && done == text.size();
}

bool TBackupFile::Backup(const std::vector<std::string>& Files, const std::string& ArchiveName) {
  streamMode_ = ArchiveName == kStreamName;
  errorCode_ = 0;
  busy_ = true;
  std::string tempPath;
  // Whatever happens, including exceptions: files closed, temporary list gone, not busy.
  struct Cleanup {
    TBackupFile& e;
    std::string& temp;
    ~Cleanup() {
      e.CloseOpenedFiles();
      if (e.out_) e.out_->Close();
      e.out_.reset();
      e.pipeline_.reset();
      if (!temp.empty()) ::unlink(temp.c_str());
      e.seen_.clear();
      e.busy_ = false;
    }
  } cleanup{*this, tempPath};

  archiveName_ = streamMode_ ? ArchiveName : fs::FullPath(ArchiveName);
  std::vector<std::string> list;
  seen_.clear();
  for (const auto& mask : Files) CollectFiles(mask, list);
  const bool result = RunBackup(list, tempPath);
  Progress({}, 100);
  busy_ = false;
  if (errorCode_ != 0) ReportError(errorCode_);
  return result;
}

bool TBackupFile::RunBackup(std::vector<std::string>& list, std::string& tempPath) {
  continue_ = true;
  Progress({}, 0);
  totalBytes_ = 0;
  totalSize_ = 0;
  filesProcessed_ = 0;
  std::string fileIdText;
  MeasureFiles(list, fileIdText);
  if (SaveFileID) {
    if (SaveFileIdList(fileIdText, tempPath)) {
      list.insert(list.begin(), tempPath);
      totalBytes_ += int64_t(fileIdText.size());
    } else {
      Fail(7);
    }
  }
  // The header holds an int32: beyond 2 GiB it stays at the ceiling.
  totalSize_ = int32_t(std::min<int64_t>(totalBytes_, std::numeric_limits<int32_t>::max()));
  fileCount_ = int32_t(list.size()) - (SaveFileID && !tempPath.empty() ? 1 : 0);
  bytesProcessed_ = 0;
  archiveBytes_ = 0;
  // A backup that has already failed or been stopped leaves an existing archive alone.
  if (!continue_) return false;
  // A volume must hold a chunk after a continuation's signature, or volumes would follow
  // each other for ever with nothing stored.
  if (!streamMode_ && (MaxSize < 0 || (MaxSize > 0 && int64_t(MaxSize) - kHeadroom <= 4))) {
    Fail(4);
    return false;
  }
  volume_ = 1;
  if (streamMode_) {
    if (OutStream) out_ = ArchiveOutput::FromStream(*OutStream);
  } else {
    out_ = ArchiveOutput::CreateFile(archiveName_);
  }
  const std::string title = Utf8ToCp1252Lossy(BackupTitle);
  if (!out_ || !out_->WriteInt32(int32_t(title.size())) || !out_->Write(title.data(), title.size()) ||
      !out_->WriteInt32(totalSize_) || !out_->WriteInt32(fileCount_)) {
    Fail(4);
    return false;
  }
  pipeline_ = std::make_unique<PiecePipeline>(Workers(), ZlibLevel(CompressionLevel));
  list_ = &list;
  nextToOpen_ = 0;
  while (continue_) {
    FillPipeline();
    if (opened_.empty()) break;  // every listed file has been written
    OpenedFile& file = opened_.front();
    StoreEntry(list[file.index], file, SaveFileID && file.index == 0 && !tempPath.empty());
    if (file.fd >= 0) ::close(file.fd);
    opened_.pop_front();
  }
  CloseOpenedFiles();
  if (!continue_) return false;
  if (!out_->WriteInt32(0) || !out_->Close()) {
    Fail(4);  // a buffered end marker that never reached the disk is a failure
    return false;
  }
  return true;
}

void TBackupFile::CloseOpenedFiles() {
  if (pipeline_) pipeline_->Clear();
  for (auto& f : opened_) {
    if (f.fd >= 0) ::close(f.fd);
  }
  opened_.clear();
}

void TBackupFile::StoreEntry(const std::string& path, OpenedFile& file, bool isFileList) {
  std::string stored;
  currentFile_ = path;
  if (isFileList) {
    stored = std::string(kFileListName);
  } else if (!Utf8ToCp1252(path, stored) || path.find('\\') != std::string::npos) {
    Fail(1);  // not expressible in the archive's code page, or '\' that readers split on
    return;
  }
  if (!out_->WriteInt32(int32_t(stored.size())) || !out_->Write(stored.data(), stored.size())) {
    Fail(4);
    return;
  }
  if (file.failed || !out_->WriteInt32(file.date)) {
    Fail(1);
    return;
  }
  const bool complete = WriteFileData(file);
  if (!isFileList) ++filesProcessed_;
  // Only a file stored whole loses its archive attribute: a later incremental backup must
  // still see one that a failure or a stop cut short.
  if (SetArchiveFlag && complete && !isFileList) fs::ClearArchiveFlag(path);
}

// Reads pieces ahead, across files, until the ring is full or the list is exhausted. Files
// that no longer exist are passed over here, as the writer would.
void TBackupFile::FillPipeline() {
  constexpr std::size_t kMaxOpenAhead = 16;
  while (!pipeline_->Full()) {
    if (opened_.empty() || opened_.back().eof) {
      if (nextToOpen_ >= list_->size() || opened_.size() >= kMaxOpenAhead) return;
      const std::string& path = (*list_)[nextToOpen_];
      OpenedFile f;
      f.index = nextToOpen_++;
      if (!fs::Exists(path)) continue;
      int64_t size = 0;
      f.fd = fs::OpenForReading(path, size, f.date);
      f.failed = f.eof = f.fd < 0;
      opened_.push_back(f);
      continue;
    }
    OpenedFile& f = opened_.back();
    Piece& p = pipeline_->Claim();
    const int n = ReadPiece(f.fd, p.in);
    if (n <= 0) {
      f.readError = n < 0;
      f.eof = true;
      continue;
    }
    p.inLen = n;
    p.op = PieceOp::Deflate;
    p.tag = f.index;
    pipeline_->Submit();
    f.eof = n < kPieceSize;
  }
}

bool TBackupFile::PiecesRemain(const OpenedFile& file) {
  FillPipeline();
  return !pipeline_->Empty() && pipeline_->FrontTag() == file.index;
}

bool TBackupFile::WriteChunk(const Piece& p) {
  const bool stored = p.result == PieceResult::Stored;
  const int len = stored ? p.inLen : p.outLen;
  if (!out_->WriteInt32(stored ? -len : len) || !out_->Write(stored ? p.in : p.out, std::size_t(len))) {
    return false;
  }
  archiveBytes_ += len + 4;
  return true;
}

// Data blocks of one file, one per volume it touches. True when the whole file was stored.
bool TBackupFile::WriteFileData(const OpenedFile& file) {
  bool done = false;
  while (!done) {
    if (!out_->Write(kSignatureCurrent, 4)) break;
    archiveBytes_ += 4;
    bool volumeFull = false;
    while (continue_ && PiecesRemain(file)) {
      if (MaxSize != 0 && !streamMode_ && out_->Position() >= int64_t(MaxSize) - kHeadroom) {
        volumeFull = true;
        break;
      }
      Piece& p = pipeline_->Front();
      bytesProcessed_ += p.inLen;
      if (p.result == PieceResult::Failed) {
        pipeline_->PopFront();
        Fail(6);
        break;
      }
      if (!WriteChunk(p)) break;
      pipeline_->PopFront();
      Pump();
      Progress(currentFile_);
    }
    if (!out_->WriteInt32(0) || (volumeFull && continue_ && !SwitchVolume())) break;
    done = !volumeFull || !continue_;
  }
  const bool whole = done && continue_ && !file.readError;
  if (!done || (file.readError && continue_)) Fail(4);
  return whole;
}

bool TBackupFile::SwitchVolume() {
  ++volume_;
  const std::string digits = VolumeDigits(volume_);
  const std::string marker = std::string(kNextDisk) + digits;
  if (!out_->WriteInt32(int32_t(marker.size())) || !out_->Write(marker.data(), marker.size()) ||
      !out_->Close()) {
    return false;
  }
  out_.reset();
  if (!AskForDisk(uint16_t(volume_))) return true;  // cancelled: the flag is down, no error
  out_ = ArchiveOutput::CreateFile(VolumeName(archiveName_, digits));
  return out_ != nullptr;
}
