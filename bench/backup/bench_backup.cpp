// Backup and restore throughput of sonaro-backup beside gzip and pigz on the same bytes,
// with the peak memory of every process, measured in one run.
//
//   bench_backup [--mb N] [--rounds R] [--dir DIR] [--keep]
//
// The corpus is catalogue-like: table files mixing record text with cover pictures, lyric
// text files, and incompressible pictures. gzip and pigz read it as one concatenated file.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fsys = std::filesystem;

// xorshift: fast, reproducible bytes without holding the corpus in memory.
struct Rng {
  uint64_t s;
  uint64_t Next() {
    s ^= s << 13;
    s ^= s >> 7;
    s ^= s << 17;
    return s;
  }
};

const char* const kWords[] = {
    "amore", "canzone", "notte", "cuore", "sole", "mare", "vento", "strada", "tempo", "vita",
    "Battisti", "Mina", "Dalla", "De Andre", "Vasco", "Pausini", "Ligabue", "Zucchero",
    "Numero Uno", "Ricordi", "CGD", "Vinile", "Compact Disc", "Musicassetta", "Pop", "Rock",
    "Cantautori", "Jazz", "Classica", "1972", "1983", "1999", "2004", "Milano", "Roma",
    "e", "il", "la", "di", "che", "non", "per", "una", "con", "ti", "mi", "sei", "come"};
constexpr int kWordCount = int(sizeof kWords / sizeof *kWords);

void AppendText(std::string& out, std::size_t n, Rng& rng) {
  while (n > 0) {
    const uint64_t r = rng.Next();
    std::string w = kWords[r % kWordCount];
    w += (r >> 20) % 11 == 0 ? "\r\n" : (r >> 24) % 7 == 0 ? ", " : " ";
    if ((r >> 32) % 13 == 0) w += std::to_string((r >> 40) % 10000) + " ";
    const std::size_t take = std::min(n, w.size());
    out.append(w, 0, take);
    n -= take;
  }
}

void AppendNoise(std::string& out, std::size_t n, Rng& rng) {
  const std::size_t start = out.size();
  out.resize(start + n);
  for (std::size_t i = 0; i < n; i += 8) {
    const uint64_t r = rng.Next();
    std::memcpy(&out[start + i], &r, std::min<std::size_t>(8, n - i));
  }
}

void Flush(std::FILE* f, std::string& buf) {
  std::fwrite(buf.data(), 1, buf.size(), f);
  buf.clear();
}

// A table file: 4 KB pages of record text; with covers, one picture of 20-60 KB every
// eight pages, as the CD table keeps its covers beside the records.
void MakeTable(const fsys::path& path, std::size_t size, bool covers, Rng& rng) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  std::string buf;
  std::size_t written = 0;
  while (written < size) {
    const std::size_t before = buf.size();
    if (covers && rng.Next() % 8 == 0) {
      AppendNoise(buf, 20000 + rng.Next() % 40000, rng);
    } else {
      AppendText(buf, 4096, rng);
    }
    written += buf.size() - before;
    if (buf.size() > (1u << 20)) Flush(f, buf);
  }
  Flush(f, buf);
  std::fclose(f);
}

void MakeSimple(const fsys::path& path, std::size_t size, bool noise, Rng& rng) {
  std::string buf;
  if (noise) {
    AppendNoise(buf, size, rng);
  } else {
    AppendText(buf, size, rng);
  }
  std::FILE* f = std::fopen(path.c_str(), "wb");
  std::fwrite(buf.data(), 1, buf.size(), f);
  std::fclose(f);
}

// Roughly: 25 % CD tables with covers, 30 % track and lookup tables (text), 20 % lyric
// texts, 25 % pictures; returns the total bytes.
uint64_t MakeCorpus(const fsys::path& dir, std::size_t mb) {
  Rng rng{0x5eed5eed1234ULL};
  const std::size_t total = mb << 20;
  fsys::create_directories(dir / "tabelle");
  fsys::create_directories(dir / "testi");
  fsys::create_directories(dir / "copertine");
  const char* const tables[] = {"archivio.db", "canzoni.db", "archivio.MB", "canzoni.MB",
                                "archivio.px", "autori.db"};
  for (int i = 0; i < 6; ++i) {
    const bool covers = i % 2 == 0;
    MakeTable(dir / "tabelle" / tables[i], total * (covers ? 25 : 30) / 100 / 3, covers, rng);
  }
  for (std::size_t done = 0, i = 0; done < total * 20 / 100; ++i) {
    const std::size_t n = 2000 + rng.Next() % 60000;
    MakeSimple(dir / "testi" / ("testo" + std::to_string(i) + ".txt"), n, false, rng);
    done += n;
  }
  for (std::size_t done = 0, i = 0; done < total * 25 / 100; ++i) {
    const std::size_t n = 50000 + rng.Next() % 400000;
    MakeSimple(dir / "copertine" / ("cover" + std::to_string(i) + ".jpg"), n, true, rng);
    done += n;
  }
  uint64_t bytes = 0;
  for (const auto& e : fsys::recursive_directory_iterator(dir)) {
    if (e.is_regular_file()) bytes += e.file_size();
  }
  return bytes;
}

std::vector<fsys::path> FilesOf(const fsys::path& dir) {
  std::vector<fsys::path> files;
  for (const auto& e : fsys::recursive_directory_iterator(dir)) {
    if (e.is_regular_file()) files.push_back(e.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

void Concatenate(const std::vector<fsys::path>& files, const fsys::path& out) {
  std::FILE* o = std::fopen(out.c_str(), "wb");
  std::vector<char> buf(1 << 20);
  for (const auto& p : files) {
    std::FILE* i = std::fopen(p.c_str(), "rb");
    for (std::size_t n; (n = std::fread(buf.data(), 1, buf.size(), i)) > 0;) {
      std::fwrite(buf.data(), 1, n, o);
    }
    std::fclose(i);
  }
  std::fclose(o);
}

struct Run {
  double seconds = 0;
  long peakKb = 0;
  int status = -1;
};

// Runs a program (stdout to `out` when given) and measures its wall time and peak memory.
Run Measure(const std::vector<std::string>& argv, const std::string& out = {},
            const std::string& in = {}) {
  sync();  // nobody starts with the previous tool's dirty pages to write back
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    if (!in.empty()) dup2(open(in.c_str(), O_RDONLY), 0);
    if (!out.empty()) dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  Run r;
  struct rusage ru{};
  wait4(pid, &r.status, 0, &ru);
  r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  r.peakKb = ru.ru_maxrss;
  return r;
}

bool SameFiles(const fsys::path& original, const fsys::path& restored) {
  std::vector<char> a(1 << 20), b(1 << 20);
  for (const auto& p : FilesOf(original)) {
    std::FILE* fa = std::fopen(p.c_str(), "rb");
    std::FILE* fb = std::fopen((restored.string() + p.string()).c_str(), "rb");
    bool same = fb != nullptr;
    while (same) {
      const std::size_t na = std::fread(a.data(), 1, a.size(), fa);
      const std::size_t nb = std::fread(b.data(), 1, b.size(), fb);
      same = na == nb && std::memcmp(a.data(), b.data(), na) == 0;
      if (na == 0) break;
    }
    std::fclose(fa);
    if (fb) std::fclose(fb);
    if (!same) return std::printf("restored file differs: %s\n", p.c_str()), false;
  }
  return true;
}

struct Series {
  const char* name;
  std::vector<Run> runs;
  double Median() const {
    std::vector<double> t;
    for (const auto& r : runs) t.push_back(r.seconds);
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
  }
  double Min() const {
    double m = 1e9;
    for (const auto& r : runs) m = std::min(m, r.seconds);
    return m;
  }
  double Max() const {
    double m = 0;
    for (const auto& r : runs) m = std::max(m, r.seconds);
    return m;
  }
  long PeakKb() const {
    long m = 0;
    for (const auto& r : runs) m = std::max(m, r.peakKb);
    return m;
  }
};

void Print(const Series& s, double mb, const Series* ours) {
  std::printf("  %-22s median %6.2f s  (min %5.2f, max %5.2f)  %7.1f MB/s  peak %6.1f MB", s.name,
              s.Median(), s.Min(), s.Max(), mb / s.Median(), double(s.PeakKb()) / 1024);
  if (ours && ours != &s) std::printf("   ours %.2fx", s.Median() / ours->Median());
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t mb = 216;
  int rounds = 3;
  fsys::path dir;
  bool keep = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--mb" && i + 1 < argc) mb = std::size_t(std::atoi(argv[++i]));
    else if (a == "--rounds" && i + 1 < argc) rounds = std::max(1, std::atoi(argv[++i]));
    else if (a == "--dir" && i + 1 < argc) dir = argv[++i];
    else if (a == "--keep") keep = true;
    else return std::printf("usage: bench_backup [--mb N] [--rounds R] [--dir DIR] [--keep]\n"), 2;
  }
  if (dir.empty()) {
    std::string templ = fsys::temp_directory_path().string() + "/sonaro-bench-XXXXXX";
    dir = mkdtemp(templ.data());
  }
  const std::string tool = (fsys::canonical("/proc/self/exe").parent_path() / "sonaro-backup").string();
  const fsys::path corpus = dir / "corpus";
  const uint64_t bytes = MakeCorpus(corpus, mb);
  const auto files = FilesOf(corpus);
  Concatenate(files, dir / "corpus.cat");
  const double size = double(bytes) / (1 << 20);
  std::printf("corpus: %zu files, %.1f MB in %s\n", files.size(), size, corpus.c_str());

  Series gz{"gzip -1", {}}, pz{"pigz -1", {}}, ob{"sonaro-backup create", {}};
  Series gd{"gzip -d", {}}, pd{"pigz -d", {}}, orr{"sonaro-backup restore", {}};
  const std::string cat = (dir / "corpus.cat").string();
  const std::string archive = (dir / "bench.bck").string();
  bool ok = true;
  for (int round = 0; round < rounds; ++round) {
    gz.runs.push_back(Measure({"gzip", "-1", "-c", cat}, cat + ".gz"));
    pz.runs.push_back(Measure({"pigz", "-1", "-c", cat}, cat + ".pz"));
    ob.runs.push_back(Measure({tool, "create", "-q", archive, corpus.string() + "/* /s"}, "/dev/null"));
    gd.runs.push_back(Measure({"gzip", "-d", "-c"}, dir / "out.gz.cat", cat + ".gz"));
    pd.runs.push_back(Measure({"pigz", "-d", "-c"}, dir / "out.pz.cat", cat + ".pz"));
    // A fresh destination each round: deleting the last one first would time the file
    // system's bookkeeping of deleted files, not the restore.
    const fsys::path restored = dir / ("restored" + std::to_string(round));
    orr.runs.push_back(Measure({tool, "restore", "-q", "-p", archive, restored.string()},
                               "/dev/null"));
    for (const auto* s : {&gz, &pz, &ob, &gd, &pd, &orr}) ok = ok && s->runs.back().status == 0;
  }
  ok = ok && SameFiles(corpus, dir / ("restored" + std::to_string(rounds - 1)));
  std::printf("compressed: gzip -1 %.1f MB, pigz -1 %.1f MB, archive %.1f MB\n",
              double(fsys::file_size(cat + ".gz")) / (1 << 20),
              double(fsys::file_size(cat + ".pz")) / (1 << 20),
              double(fsys::file_size(archive)) / (1 << 20));
  std::printf("%d rounds, %u cores; \"ours Nx\" = that tool's time / ours (throughput ratio)\n",
              rounds, std::max(1u, unsigned(sysconf(_SC_NPROCESSORS_ONLN))));
  std::printf("backup:\n");
  for (const auto* s : {&gz, &pz, &ob}) Print(*s, size, &ob);
  std::printf("restore:\n");
  for (const auto* s : {&gd, &pd, &orr}) Print(*s, size, &orr);
  std::printf("restored files identical: %s\n", ok ? "yes" : "NO");
  if (!keep) fsys::remove_all(dir);
  return ok ? 0 : 1;
}
