// TBackupFile: properties, events and reporting shared by the operations, and
// GetArchiveInfo. Backup lives in backupwrite.cpp, Restore in backuprestore.cpp.
#include "backup.h"

#include <algorithm>
#include <limits>

#include "archiveformat.h"
#include "archiveio.h"
#include "archivereader.h"
#include "piecepipeline.h"
#include "platformfs.h"

using namespace sonaro::backup;

TBackupFile::TBackupFile() = default;
TBackupFile::~TBackupFile() = default;

void TBackupFile::BackupMode(TBackupMode mode) {
  if (mode == bmIncremental && backupMode_ != bmIncremental) SetArchiveFlag = true;
  backupMode_ = mode;
}

int32_t TBackupFile::CompressionRate() const {
  if (totalSize_ == 0) return 0;
  // 64-bit: ArchiveBytes * 100 would overflow 32 bits from 21 MB on.
  return int32_t(100 - archiveBytes_ * 100 / totalSize_);
}

std::string TBackupFile::ErrorText(int32_t code) {
  switch (code) {
    case 1: return "Cannot read file";
    case 2: return "Overwriting file failed";
    case 3: return "Cannot read archive";
    case 4: return "Cannot write to archive";
    case 5: return "Invalid archive type";
    case 6: return "Compression error";
    case 7: return "Cannot create temporary file to save the file IDs";
    default: return {};
  }
}

int TBackupFile::Workers() const {
  return WorkerThreads < 0 ? PiecePipeline::DefaultWorkers() : std::min(WorkerThreads, 64);
}

void TBackupFile::Fail(int32_t code) {
  errorCode_ = code;
  continue_ = false;
}

void TBackupFile::Pump() {
  if (OnPump) OnPump();
}

void TBackupFile::Progress(const std::string& name, TPercentage percent) {
  if (!OnProgress) return;
  bool go = continue_;
  OnProgress(*this, name, percent, go);
  if (!go) continue_ = false;
}

// Percent of the measured total, clipped to 100 when files grew meanwhile; 0 while the total
// is unknown (0), so a bar stays visible until the closing call with 100.
void TBackupFile::Progress(const std::string& name) {
  int64_t percent = 0;
  if (totalBytes_ > 0) percent = std::min<int64_t>(100, bytesProcessed_ * 100 / totalBytes_);
  Progress(name, TPercentage(percent));
}

bool TBackupFile::AskForDisk(uint16_t disk) {
  bool go = continue_;
  if (OnNeedDisk) {
    OnNeedDisk(*this, disk, go);
  } else if (DiskPrompt) {
    go = DiskPrompt("Please insert disk " + std::to_string(disk) + " and click OK to continue.");
  } else {
    go = false;  // no one to insert a disk: "Cancel", never a blocking prompt
  }
  if (!go) continue_ = false;
  return continue_;
}

void TBackupFile::ReportError(int32_t code) {
  if (OnError) {
    OnError(*this, code, ErrorText(code));
  } else if (ErrorBox) {
    ErrorBox(ErrorText(code));
  }
}

void TBackupFile::GetArchiveInfo(const std::string& ArchiveName,
                                 std::vector<std::string>* FileList, std::string& Title) {
  const bool stream = ArchiveName == kStreamName;
  Title.clear();
  totalSize_ = fileCount_ = filesProcessed_ = 0;
  totalBytes_ = 0;
  errorCode_ = 0;
  std::unique_ptr<ArchiveInput> in;
  if (stream) {
    if (InStream) in = ArchiveInput::FromStream(*InStream);
  } else {
    if (!fs::Exists(ArchiveName)) return;
    in = ArchiveInput::OpenFile(ArchiveName);
  }
  if (!in) {
    errorCode_ = 3;
    ReportError(3);
    return;
  }
  Reader reader(*this, std::move(in), ArchiveName, stream, 0);
  continue_ = true;
  std::string title;
  if (!reader.ReadHeader(title) || !reader.ReadLeadingFileList(FileList)) {
    errorCode_ = 5;
    ReportError(5);
    return;
  }
  Title = title;
}
