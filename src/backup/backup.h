// TBackupFile: stores files named by masks in a compressed, possibly multi-volume archive,
// lists an archive and restores it. Standard C++ and zlib only, so that the backup window and
// the sonaro-backup tool share it.
//
// Everything the caller sees happens on the caller's thread: events, the pump hook, the
// volume prompt. Worker threads only compress and inflate pieces.
//
// Where the original component showed its own message box (no OnNeedDisk, no OnError), it
// calls DiskPrompt or ErrorBox with the same text, so a window routes them to real message
// boxes. With neither event nor hook the engine never blocks: the insert-disk prompt counts
// as answered Cancel, and an error is only recorded in ErrorCode().
//
// Texts (names, titles, file-ID lines) are UTF-8 in this interface and Windows-1252 in the
// archive.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <iosfwd>
#include <memory>
#include <stdexcept>
#include <string>
#include <unordered_set>
#include <vector>

namespace sonaro::backup {
class ArchiveInput;
class ArchiveOutput;
class PiecePipeline;
struct Piece;
}  // namespace sonaro::backup

enum TBackupMode { bmAll, bmIncremental };
enum TRestoreMode { rmAll, rmNoOverwrite, rmNewer, rmExisting, rmExistingNewer };
enum TCompressionLevel { clFastest, clNone, clDefault, clMax };
using TPercentage = uint8_t;

class TBackupFile;

using TProgressEvent = std::function<void(TBackupFile& Sender, const std::string& Filename,
                                          TPercentage Percent, bool& Continue)>;
using TNeedDiskEvent = std::function<void(TBackupFile& Sender, uint16_t DiskID, bool& Continue)>;
using TRestoreFileEvent = std::function<void(TBackupFile& Sender, std::string& Filename,
                                             int32_t FA, bool& DoRestore)>;
using TBackupErrorEvent =
    std::function<void(TBackupFile& Sender, int32_t Error, const std::string& ErrString)>;
// Called after every chunk and legacy block so that a window can process its events.
using TPumpHook = std::function<void()>;
// The built-in "insert disk" box (information, OK and Cancel): true on OK.
using TDiskPromptHook = std::function<bool(const std::string& Text)>;
// The built-in error box (error, OK).
using TErrorBoxHook = std::function<void(const std::string& Text)>;

// Raised by Restore ("Cannot read archive", "Invalid archive type") and for failures outside
// the numbered errors; what() is the text the user reads.
class EBackupError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TBackupFile {
 public:
  TBackupFile();
  ~TBackupFile();
  TBackupFile(const TBackupFile&) = delete;
  TBackupFile& operator=(const TBackupFile&) = delete;

  // Published properties.
  static std::string Version() { return "3.00"; }
  std::string BackupTitle;
  TBackupMode BackupMode() const { return backupMode_; }
  // Switching to bmIncremental also turns SetArchiveFlag on.
  void BackupMode(TBackupMode mode);
  TCompressionLevel CompressionLevel = clFastest;
  TRestoreMode RestoreMode = rmAll;
  int32_t MaxSize = 0;
  bool SetArchiveFlag = false;
  TProgressEvent OnProgress;
  TNeedDiskEvent OnNeedDisk;
  TRestoreFileEvent OnRestoreFile;
  TBackupErrorEvent OnError;
  bool RestoreFullPath = false;
  bool SaveFileID = false;

  // Read or written instead of a file when the archive name is ":STREAM"; never closed here.
  std::istream* InStream = nullptr;
  std::ostream* OutStream = nullptr;
  TPumpHook OnPump;
  // Shown instead of OnNeedDisk / OnError when those are not assigned.
  TDiskPromptHook DiskPrompt;
  TErrorBoxHook ErrorBox;
  // Compression threads: -1 picks one per core; 0 works on the caller's thread alone.
  // The archive is the same byte for byte whatever the number.
  int WorkerThreads = -1;

  // Operations.
  bool Backup(const std::vector<std::string>& Files, const std::string& ArchiveName);
  bool Restore(const std::string& ArchiveName, const std::string& DestPath);
  void GetArchiveInfo(const std::string& ArchiveName, std::vector<std::string>* FileList,
                      std::string& Title);
  int32_t CompressionRate() const;
  void Stop() { continue_ = false; }
  bool Busy() const { return busy_; }

  // Run-time state of the last operation.
  int32_t FileCount() const { return fileCount_; }
  int32_t TotalSize() const { return totalSize_; }
  int32_t FilesProcessed() const { return filesProcessed_; }
  // 64-bit so that counting never wraps; the archive itself describes at most 2 GiB.
  int64_t BytesProcessed() const { return bytesProcessed_; }
  int64_t ArchiveBytes() const { return archiveBytes_; }
  const std::string& CurrentFile() const { return currentFile_; }
  int32_t ErrorCode() const { return errorCode_; }

  static std::string ErrorText(int32_t code);

 private:
  class Reader;
  friend class Reader;

  // Backup.
  void CollectFiles(const std::string& mask, std::vector<std::string>& list);
  void CollectMatches(const std::string& dir, const std::string& pattern, bool recursive,
                      std::vector<std::string>& list);
  void MeasureFiles(std::vector<std::string>& list, std::string& fileIdText);
  bool SaveFileIdList(const std::string& text, std::string& tempPath);
  // A listed file opened ahead of the writer, so that pieces of the next files compress
  // while the current one is written.
  struct OpenedFile {
    std::size_t index = 0;
    int fd = -1;
    int32_t date = 0;
    bool failed = false;     // could not be opened
    bool eof = false;        // every piece has been read
    bool readError = false;
  };
  bool RunBackup(std::vector<std::string>& list, std::string& tempPath);
  void StoreEntry(const std::string& path, OpenedFile& file, bool isFileList);
  bool WriteFileData(const OpenedFile& file);
  bool WriteChunk(const sonaro::backup::Piece& piece);
  bool SwitchVolume();
  void FillPipeline();
  bool PiecesRemain(const OpenedFile& file);
  void CloseOpenedFiles();
  int Workers() const;

  // Shared.
  bool Continuing() const { return continue_; }
  void Fail(int32_t code);
  void Pump();
  void Progress(const std::string& name);
  void Progress(const std::string& name, TPercentage percent);
  bool AskForDisk(uint16_t disk);
  void ReportError(int32_t code);

  TBackupMode backupMode_ = bmAll;
  std::atomic<bool> continue_{false};
  bool busy_ = false;
  int32_t fileCount_ = 0;
  int32_t totalSize_ = 0;
  int64_t totalBytes_ = 0;  // TotalSize without the header's 2 GiB ceiling
  int32_t filesProcessed_ = 0;
  int64_t bytesProcessed_ = 0;
  int64_t archiveBytes_ = 0;
  std::string currentFile_;
  int32_t errorCode_ = 0;

  // State of the running backup.
  std::string archiveName_;   // full path of volume 1, or ":STREAM"
  bool streamMode_ = false;
  unsigned volume_ = 1;
  std::unique_ptr<sonaro::backup::ArchiveOutput> out_;
  std::unique_ptr<sonaro::backup::PiecePipeline> pipeline_;
  std::unordered_set<std::string> seen_;  // what CollectFiles has listed
  const std::vector<std::string>* list_ = nullptr;
  std::size_t nextToOpen_ = 0;
  std::deque<OpenedFile> opened_;
};
