// TBackupFile::Restore; the record and block reading is in archivereader.cpp.
#include "archiveformat.h"
#include "archiveio.h"
#include "archivereader.h"
#include "backup.h"
#include "platformfs.h"

using namespace sonaro::backup;

bool TBackupFile::Restore(const std::string& ArchiveName, const std::string& DestPath) {
  std::string dest = DestPath;
  if (!dest.empty() && dest.back() != '/') dest += '/';
  const bool stream = ArchiveName == kStreamName;
  errorCode_ = 0;
  filesProcessed_ = 0;
  continue_ = true;
  if (!stream && !fs::Exists(ArchiveName)) return false;
  std::unique_ptr<ArchiveInput> in;
  if (stream) {
    if (InStream) in = ArchiveInput::FromStream(*InStream);
  } else {
    in = ArchiveInput::OpenFile(ArchiveName);
  }
  if (!in) throw EBackupError("Cannot read archive");
  busy_ = true;
  struct NotBusy {
    bool& busy;
    ~NotBusy() { busy = false; }
  } notBusy{busy_};
  Reader reader(*this, std::move(in), ArchiveName, stream, Workers());
  std::string title;
  if (!reader.ReadHeader(title)) throw EBackupError("Cannot read archive");
  bytesProcessed_ = 0;
  reader.RestoreRecords(dest);
  const bool result = errorCode_ == 0 && continue_;
  Progress({}, 100);
  busy_ = false;
  if (errorCode_ != 0) ReportError(errorCode_);
  return result;
}
