// sonaro-backup: create, list and restore Sonaro backup archives from a shell or cron.
// Exit codes: 0 done; 1 other failure (a listed file that cannot be opened ...); 2 wrong
// usage; 3 archive missing or unreadable; 4 stopped (Ctrl-C or
// a volume prompt answered "cancel"); 10 + the engine's error code (11..17) on an error.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iostream>
#include <string>
#include <vector>

#include "archiveformat.h"
#include "backup.h"
#include "platformfs.h"

namespace {

volatile std::sig_atomic_t gInterrupted = 0;

void OnSignal(int) { gInterrupted = 1; }

const char* const kUsage = R"(Usage:
  sonaro-backup create [options] ARCHIVE MASK...
  sonaro-backup list ARCHIVE
  sonaro-backup restore [options] ARCHIVE [DESTINATION]

create: stores the files matching each MASK ("dir/*.db"; relative masks start in the current
directory; a mask ending in " /s" also searches the subdirectories) in ARCHIVE.
  -t, --title TEXT        title stored in the archive (default "Backup")
  -l, --level LEVEL       fastest (default), none, default, max
  -s, --recursive         every mask also searches the subdirectories
  -i, --incremental       only files changed since a backup last marked them; marks the
                          stored files (implies --mark)
  -a, --mark              mark the stored files as backed up (archive attribute)
  -f, --file-ids          store the list of names, dates and sizes (shown by "list")
  -v, --volume-size SIZE  split into volumes of SIZE bytes (suffix K or M): ARCHIVE,
                          then .002, .003 ...
list: shows the title, the totals and the stored file list.
restore: writes the files back to their stored paths, or below DESTINATION.
  -m, --mode MODE         all (default), no-overwrite, newer, existing, existing-newer
  -p, --full-path         with DESTINATION, recreate the stored directories below it
Common:
  -y, --yes               answer volume prompts by yourself: go on (restore: when the next
                          volume file exists); also the default when not on a terminal
  -q, --quiet             no progress bar
  -j, --threads N         compression threads (default: one per core; 0: none); the
                          archive is the same whatever N
  -h, --help              this text

Exit codes: 0 done, 1 other failure, 2 usage, 3 archive missing or unreadable, 4 stopped,
11..17 engine error 1..7 (1 cannot read file, 4 cannot write to archive, 6 compression
error, 7 cannot create the file-ID list; see the README).
)";

struct Options {
  std::string command;
  std::vector<std::string> args;
  std::string title = "Backup";
  TCompressionLevel level = clFastest;
  TRestoreMode mode = rmAll;
  bool recursive = false, incremental = false, mark = false, fileIds = false;
  bool fullPath = false, yes = false, quiet = false, help = false;
  int32_t volumeSize = 0;
  int threads = -1;
  std::string error;
};

bool ParseSize(const std::string& s, int32_t& out) {
  char* end = nullptr;
  const double v = std::strtod(s.c_str(), &end);
  double mul = 1;
  if (end && (*end == 'k' || *end == 'K')) mul = 1024, ++end;
  if (end && (*end == 'm' || *end == 'M')) mul = 1024 * 1024, ++end;
  if (!end || *end || end == s.c_str() || v * mul < 20000 || v * mul > 2147483647.0) return false;
  out = int32_t(v * mul);
  return true;
}

bool ParseLevel(const std::string& s, TCompressionLevel& out) {
  static const char* const names[] = {"fastest", "none", "default", "max"};
  for (int i = 0; i < 4; ++i) {
    if (s == names[i]) return out = TCompressionLevel(i), true;
  }
  return false;
}

bool ParseMode(const std::string& s, TRestoreMode& out) {
  static const char* const names[] = {"all", "no-overwrite", "newer", "existing",
                                      "existing-newer"};
  for (int i = 0; i < 5; ++i) {
    if (s == names[i]) return out = TRestoreMode(i), true;
  }
  return false;
}

// Options taking a value; false with o.error set when it is missing or wrong.
bool ParseValued(const std::string& a, const std::string& v, Options& o) {
  if (a == "-t" || a == "--title") o.title = v;
  else if (a == "-l" || a == "--level") {
    if (!ParseLevel(v, o.level)) return o.error = "unknown level \"" + v + "\"", false;
  } else if (a == "-m" || a == "--mode") {
    if (!ParseMode(v, o.mode)) return o.error = "unknown restore mode \"" + v + "\"", false;
  } else if (a == "-j" || a == "--threads") {
    char* end = nullptr;
    const long n = std::strtol(v.c_str(), &end, 10);
    if (v.empty() || *end || n < 0 || n > 64) return o.error = "threads must be 0 to 64", false;
    o.threads = int(n);
  } else if (a == "-v" || a == "--volume-size") {
    if (!ParseSize(v, o.volumeSize)) {
      return o.error = "volume size must be a number of bytes from 20000 to 2G", false;
    }
  }
  return true;
}

Options Parse(int argc, char** argv) {
  Options o;
  static const std::vector<std::string> valued = {"-t", "--title", "-l", "--level", "-m",
                                                  "--mode", "-v", "--volume-size", "-j",
                                                  "--threads"};
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    bool takesValue = false;
    for (const auto& v : valued) takesValue = takesValue || a == v;
    if (takesValue) {
      if (i + 1 >= argc) return o.error = a + " needs a value", o;
      if (!ParseValued(a, argv[++i], o)) return o;
    } else if (a == "-h" || a == "--help") o.help = true;
    else if (a == "-s" || a == "--recursive") o.recursive = true;
    else if (a == "-i" || a == "--incremental") o.incremental = true;
    else if (a == "-a" || a == "--mark") o.mark = true;
    else if (a == "-f" || a == "--file-ids") o.fileIds = true;
    else if (a == "-p" || a == "--full-path") o.fullPath = true;
    else if (a == "-y" || a == "--yes") o.yes = true;
    else if (a == "-q" || a == "--quiet") o.quiet = true;
    else if (a.size() > 1 && a[0] == '-') return o.error = "unknown option " + a, o;
    else if (o.command.empty()) o.command = a;
    else o.args.push_back(a);
  }
  return o;
}

// A one-line bar on stderr, redrawn only when something visible changes.
class ProgressBar {
 public:
  explicit ProgressBar(bool enabled) : enabled_(enabled) {}
  void Show(const std::string& file, int percent) {
    if (!enabled_ || (percent == percent_ && file == file_)) return;
    percent_ = percent;
    file_ = file;
    if (percent >= 100) return Clear();
    const int filled = percent * 30 / 100;
    std::string name = file.size() > 40 ? "..." + file.substr(file.size() - 37) : file;
    std::fprintf(stderr, "\r[%s%s] %3d%%  %-40s", std::string(std::size_t(filled), '#').c_str(),
                 std::string(std::size_t(30 - filled), ' ').c_str(), percent, name.c_str());
    std::fflush(stderr);
    drawn_ = true;
  }
  void Clear() {
    if (drawn_) std::fprintf(stderr, "\r%80s\r", "");
    drawn_ = false;
  }

 private:
  bool enabled_;
  int percent_ = -1;
  std::string file_;
  bool drawn_ = false;
};

// Volume prompt: on a terminal the user answers; otherwise (or with --yes) go on, but when
// restoring only if the volume is there, so a missing volume cannot loop.
void InstallHandlers(TBackupFile& b, const Options& o, ProgressBar& bar, const std::string& archive,
                     bool restoring) {
  const bool ask = !o.yes && isatty(STDIN_FILENO);
  b.WorkerThreads = o.threads;
  b.OnProgress = [&bar](TBackupFile&, const std::string& f, TPercentage p, bool&) {
    bar.Show(f, p);
  };
  b.OnPump = [&b] {
    if (gInterrupted) b.Stop();
  };
  b.OnError = [&bar, archive](TBackupFile& s, int32_t code, const std::string& text) {
    bar.Clear();
    std::cerr << "sonaro-backup: " << text << " (error " << code << "): "
              << (s.CurrentFile().empty() || code == 4 ? archive : s.CurrentFile()) << "\n";
  };
  b.OnNeedDisk = [&bar, ask, archive, restoring](TBackupFile&, uint16_t disk, bool& go) {
    bar.Clear();
    const std::string volume =
        sonaro::backup::VolumeName(archive, sonaro::backup::VolumeDigits(disk));
    if (!ask) {
      go = !restoring || sonaro::backup::fs::Exists(volume);
      if (!go) std::cerr << "sonaro-backup: volume " << volume << " not found\n";
      return;
    }
    std::cerr << "Please insert disk " << disk << " and click OK to continue.\n"
              << "(" << volume << ")  Enter = OK, c = cancel: " << std::flush;
    std::string line;
    go = bool(std::getline(std::cin, line)) && line != "c" && line != "C";
  };
}

int Outcome(TBackupFile& b, bool ok) {
  if (ok) return 0;
  if (b.ErrorCode() != 0) return 10 + b.ErrorCode();
  std::cerr << "sonaro-backup: stopped\n";
  return 4;
}

int Create(const Options& o) {
  if (o.args.size() < 2) return std::cerr << "sonaro-backup: create needs ARCHIVE and MASK\n", 2;
  TBackupFile b;
  ProgressBar bar(!o.quiet && isatty(STDERR_FILENO));
  InstallHandlers(b, o, bar, o.args[0], false);
  b.BackupTitle = o.title;
  b.CompressionLevel = o.level;
  b.SetArchiveFlag = o.mark;
  b.BackupMode(o.incremental ? bmIncremental : bmAll);
  b.SaveFileID = o.fileIds;
  b.MaxSize = o.volumeSize;
  std::vector<std::string> masks(o.args.begin() + 1, o.args.end());
  if (o.recursive) {
    for (auto& m : masks) m += " /s";
  }
  const bool ok = b.Backup(masks, o.args[0]);
  bar.Clear();
  if (ok) {
    std::cout << b.FilesProcessed() << " files, " << b.BytesProcessed() << " bytes stored in "
              << o.args[0] << "; compression " << b.CompressionRate() << " %\n";
  }
  return Outcome(b, ok);
}

std::string DosDateText(int32_t dos) {
  std::time_t t = 0;
  if (!sonaro::backup::TimeFromDosDateTime(dos, t)) return "?";
  char buf[32];
  std::tm lt{};
  localtime_r(&t, &lt);
  std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &lt);
  return buf;
}

int List(const Options& o) {
  if (o.args.size() != 1) return std::cerr << "sonaro-backup: list needs ARCHIVE\n", 2;
  if (!sonaro::backup::fs::IsRegularFile(o.args[0])) {
    return std::cerr << "sonaro-backup: archive not found: " << o.args[0] << "\n", 3;
  }
  TBackupFile b;
  ProgressBar bar(false);
  InstallHandlers(b, o, bar, o.args[0], true);
  std::vector<std::string> lines;
  std::string title;
  b.GetArchiveInfo(o.args[0], &lines, title);
  if (b.ErrorCode() != 0) return 3;
  std::cout << "Title: " << title << "\n"
            << "Files: " << b.FileCount() << ", " << b.TotalSize() << " bytes in total\n";
  if (lines.empty()) std::cout << "No extended file information in this archive\n";
  for (const auto& line : lines) {
    const auto tab = line.find('\t');
    const auto eq = line.find('=', tab == std::string::npos ? 0 : tab);
    if (tab == std::string::npos || eq == std::string::npos) {
      std::cout << line << "\n";
      continue;
    }
    const int32_t dos = int32_t(std::strtol(line.substr(tab + 1, eq - tab - 1).c_str(), nullptr, 10));
    std::cout << line.substr(0, tab) << "  " << DosDateText(dos) << "  " << line.substr(eq + 1)
              << " bytes\n";
  }
  return 0;
}

int RestoreCommand(const Options& o) {
  if (o.args.empty() || o.args.size() > 2) {
    return std::cerr << "sonaro-backup: restore needs ARCHIVE [DESTINATION]\n", 2;
  }
  if (!sonaro::backup::fs::IsRegularFile(o.args[0])) {
    return std::cerr << "sonaro-backup: archive not found: " << o.args[0] << "\n", 3;
  }
  TBackupFile b;
  ProgressBar bar(!o.quiet && isatty(STDERR_FILENO));
  InstallHandlers(b, o, bar, o.args[0], true);
  b.RestoreMode = o.mode;
  const std::string dest = o.args.size() == 2 ? o.args[1] : std::string();
  b.RestoreFullPath = o.fullPath && !dest.empty();
  bool ok = false;
  try {
    ok = b.Restore(o.args[0], dest);
  } catch (const EBackupError& e) {
    bar.Clear();
    std::cerr << "sonaro-backup: " << e.what() << ": " << o.args[0] << "\n";
    return 3;
  }
  bar.Clear();
  if (ok) std::cout << b.FilesProcessed() << " of " << b.FileCount() << " files restored\n";
  return Outcome(b, ok);
}

}  // namespace

int main(int argc, char** argv) {
  const Options o = Parse(argc, argv);
  if (o.help) return std::cout << kUsage, 0;
  if (!o.error.empty()) {
    return std::cerr << "sonaro-backup: " << o.error << " (see sonaro-backup --help)\n", 2;
  }
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  try {
    if (o.command == "create") return Create(o);
    if (o.command == "list") return List(o);
    if (o.command == "restore") return RestoreCommand(o);
  } catch (const std::exception& e) {
    std::cerr << "sonaro-backup: " << e.what() << "\n";
    return 1;
  }
  std::cerr << (o.command.empty() ? std::string("sonaro-backup: no command given")
                                  : "sonaro-backup: unknown command \"" + o.command + "\"")
            << " (see sonaro-backup --help)\n";
  return 2;
}
