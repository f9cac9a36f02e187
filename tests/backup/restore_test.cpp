// Restore and GetArchiveInfo over archives assembled by hand: destinations, the five restore
// rules, legacy blocks, and damaged or hostile input.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <sstream>

#include "archiveformat.h"
#include "backup.h"
#include "testutil.h"

using namespace backuptest;

namespace {

constexpr int32_t kMarch15 = 0x586F528F;  // 2024-03-15 10:20:30

class Restore : public ::testing::Test {
 protected:
  Restore() {
    b.OnError = [this](TBackupFile&, int32_t code, const std::string& text) {
      errors.push_back(std::to_string(code) + " " + text);
    };
  }
  // Writes the archive and restores it; the result, or "throw: <text>".
  std::string Run(const ArchiveBytes& a, const std::string& dest) {
    WriteFile(dir / "a.bck", a.bytes());
    try {
      return b.Restore(dir / "a.bck", dest) ? "true" : "false";
    } catch (const EBackupError& e) {
      return std::string("throw: ") + e.what();
    }
  }
  static ArchiveBytes OneFile(const std::string& name, const std::string& data,
                              int32_t date = kMarch15) {
    return ArchiveBytes().Header("t", int32_t(data.size()), 1).FileRecord(name, date).Ec2()
        .Compressed(data).End().End();
  }

  ScratchDir dir;
  TBackupFile b;
  std::vector<std::string> errors;
};

}  // namespace

TEST_F(Restore, DestinationKeepsTheFileNameOrTheWholePath) {
  const auto a = OneFile("c:\\dati\\archivio.db", "CD");
  EXPECT_EQ(Run(a, dir / "x"), "true");
  EXPECT_EQ(ReadFile(dir / "x/archivio.db"), "CD");
  b.RestoreFullPath = true;
  EXPECT_EQ(Run(a, dir / "y/"), "true");
  EXPECT_EQ(ReadFile(dir / "y/dati/archivio.db"), "CD");
  EXPECT_EQ(Run(OneFile("/home/anna/cd/canzoni.db", "T"), dir / "z"), "true");
  EXPECT_EQ(ReadFile(dir / "z/home/anna/cd/canzoni.db"), "T");
  EXPECT_EQ(b.FilesProcessed(), 1);
  EXPECT_TRUE(errors.empty());
}

TEST_F(Restore, WithoutDestinationToTheStoredPathWithTheArchivedDate) {
  const std::string target = dir / "dati/archivio.db";
  EXPECT_EQ(Run(OneFile(target, "abc"), ""), "true");
  EXPECT_EQ(ReadFile(target), "abc");
  std::time_t t = 0;
  ASSERT_TRUE(sonaro::backup::TimeFromDosDateTime(kMarch15, t));
  struct stat st{};
  ASSERT_EQ(stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mtime, t);
  // A Windows name has no place on this system without a destination.
  EXPECT_EQ(Run(OneFile("c:\\dati\\archivio.db", "abc"), ""), "false");
  EXPECT_EQ(errors, (std::vector<std::string>{"1 Cannot read file"}));
}

TEST_F(Restore, NamesThatWouldLeaveTheDestinationWriteNothing) {
  WriteFile(dir / "victim.txt", "keep");
  const std::vector<std::string> names = {"c:\\..\\victim.txt", "..\\victim.txt",
                                         "/x/../../victim.txt", "a/./b", "c:\\dati\\",
                                         std::string("ok\0.txt", 6)};
  for (const auto& name : names) {
    for (bool full : {false, true}) {
      b.RestoreFullPath = full;
      errors.clear();
      EXPECT_EQ(Run(OneFile(name, "evil"), dir / "dest"), "false") << name;
      EXPECT_EQ(errors, (std::vector<std::string>{"1 Cannot read file"})) << name;
    }
  }
  EXPECT_EQ(ReadFile(dir / "victim.txt"), "keep");
  EXPECT_EQ(FilesBelow(dir.path()), (std::vector<std::string>{"a.bck", "victim.txt"}));
}

TEST_F(Restore, RestoreRuleMatrix) {
  // Target states: missing, older than the archived date, newer than it.
  const char* const expected[5] = {"WWW", "W--", "WW-", "-WW", "-W-"};
  for (int mode = 0; mode < 5; ++mode) {
    for (int state = 0; state < 3; ++state) {
      const std::string dest = dir / ("m" + std::to_string(mode) + std::to_string(state));
      if (state > 0) {
        WriteFile(dest + "/cd.db", "old");
        SetLocalTime(dest + "/cd.db", 2024, 3, state == 1 ? 14 : 16, 10, 20, 30);
      }
      b.RestoreMode = TRestoreMode(mode);
      ASSERT_EQ(Run(OneFile("c:\\cd.db", "new"), dest), "true");
      const bool written = ReadFile(dest + "/cd.db") == "new";
      EXPECT_EQ(written, expected[mode][state] == 'W') << "mode " << mode << " state " << state;
      EXPECT_EQ(b.FilesProcessed(), written ? 1 : 0);
    }
  }
}

TEST_F(Restore, RestoreFileEventMayRenameOrRefuseAndNeverSeesTheFileList) {
  const auto a = ArchiveBytes().Header("t", 6, 2)
                     .FileRecord("FILE:LIST", 0).Ec2().Stored("x\t1=1\r\n").End()
                     .FileRecord("c:\\a.db", kMarch15).Ec2().Stored("aaa").End()
                     .FileRecord("c:\\b.db", kMarch15).Ec2().Stored("bbb").End()
                     .End();
  std::vector<std::string> seen;
  b.OnRestoreFile = [&](TBackupFile&, std::string& name, int32_t fa, bool& doRestore) {
    seen.push_back(name);
    EXPECT_EQ(fa, kMarch15);
    if (name.ends_with("a.db")) name += ".bak";
    if (name.ends_with("b.db")) doRestore = false;
  };
  EXPECT_EQ(Run(a, dir / "d"), "true");
  EXPECT_EQ(seen, (std::vector<std::string>{dir / "d/a.db", dir / "d/b.db"}));
  EXPECT_EQ(FilesBelow(dir / "d"), (std::vector<std::string>{"a.db.bak"}));
  EXPECT_EQ(b.FilesProcessed(), 1);
}

TEST_F(Restore, LegacyBlocksAreDecoded) {
  // One stored block and one compressed block (flag 0x40) with a run.
  const auto blocks = ArchiveBytes().Int32(4).Raw(std::string("\x80" "abc", 4))
                          .Int32(7).Raw(std::string("\x40\x80\x00\x00\x00\x04" "z", 7));
  const auto a = ArchiveBytes().Header("old", 23, 1).FileRecord("c:\\v.txt", kMarch15)
                     .Raw(std::string("ECS", 4)).Int32(int32_t(blocks.bytes().size()))
                     .Raw(blocks.bytes()).End();
  EXPECT_EQ(Run(a, dir / "d"), "true");
  EXPECT_EQ(ReadFile(dir / "d/v.txt"), "abc" + std::string(20, 'z'));
  b.RestoreMode = rmNoOverwrite;  // skipped legacy blocks are read and dropped
  EXPECT_EQ(Run(a, dir / "d"), "true");
  EXPECT_EQ(b.BytesProcessed(), 0);
}

TEST_F(Restore, DamagedChunksGiveTheirErrorCodes) {
  const std::string piece = TextBytes(16384);
  struct Case {
    const char* what;
    ArchiveBytes chunks;
    const char* error;
  };
  std::vector<Case> cases;
  cases.push_back({"too long", ArchiveBytes().Int32(16385).Raw(std::string(16385, 'x')), "1"});
  cases.push_back({"stored too long", ArchiveBytes().Int32(-16385).Raw(std::string(16385, 'x')), "1"});
  cases.push_back({"most negative", ArchiveBytes().Int32(INT_MIN), "1"});
  cases.push_back({"cut", ArchiveBytes().Int32(100).Raw(std::string(10, 'x')), "1"});
  cases.push_back({"not zlib", ArchiveBytes().Int32(5).Raw(std::string("hello")), "6"});
  cases.push_back({"inflates too far", ArchiveBytes().Compressed(piece + "!"), "6"});
  for (auto& c : cases) {
    errors.clear();
    const auto a = ArchiveBytes().Header("t", 1, 1).FileRecord("c:\\f.db", kMarch15).Ec2()
                       .Stored("ok").Raw(c.chunks.bytes()).End().End();
    EXPECT_EQ(Run(a, dir / "d"), "false") << c.what;
    ASSERT_EQ(errors.size(), 1u) << c.what;
    EXPECT_EQ(errors[0].substr(0, 1), c.error) << c.what;
    // The bytes before the damage stay; an overlong stream keeps the full area it filled.
    const std::string got = ReadFile(dir / "d/f.db");
    EXPECT_EQ(got.substr(0, 2), "ok") << c.what;
    if (std::string(c.what) == "inflates too far") {
      EXPECT_EQ(got, "ok" + piece);
    }
  }
}

TEST_F(Restore, BadSignatureIsAnErrorWhenWritingAndAnExceptionWhenSkipping) {
  const auto a = ArchiveBytes().Header("t", 1, 1).FileRecord("c:\\f.db", kMarch15)
                     .Raw(std::string("EC2X", 4)).End().End();
  EXPECT_EQ(Run(a, dir / "d"), "false");
  EXPECT_EQ(errors, (std::vector<std::string>{"1 Cannot read file"}));
  b.RestoreMode = rmExisting;
  EXPECT_EQ(Run(a, dir / "e"), "throw: Invalid archive type");
  EXPECT_FALSE(b.Busy());
}

TEST_F(Restore, UnreadableHeaderThrowsAndMissingArchiveIsQuietlyFalse) {
  EXPECT_EQ(Run(ArchiveBytes().Int32(-5), dir / "d"), "throw: Cannot read archive");
  EXPECT_EQ(Run(ArchiveBytes().Int32(100).Raw("short"), dir / "d"), "throw: Cannot read archive");
  EXPECT_FALSE(b.Busy());
  EXPECT_FALSE(b.Restore(dir / "none.bck", ""));
  EXPECT_TRUE(errors.empty());
}

TEST_F(Restore, EveryTruncationEndsCleanly) {
  const auto whole = ArchiveBytes().Header("t", 9, 2)
                         .FileRecord("c:\\a.db", kMarch15).Ec2().Compressed("alpha").End()
                         .FileRecord("c:\\b.db", kMarch15).Ec2().Stored("beta").End().End();
  for (std::size_t n = 0; n < whole.bytes().size(); ++n) {
    const auto cut = ArchiveBytes().Raw(Bytes(whole.bytes().begin(), whole.bytes().begin() + long(n)));
    EXPECT_NE(Run(cut, dir / "d"), "true") << n;
    EXPECT_FALSE(b.Busy());
  }
  EXPECT_EQ(Run(whole, dir / "d"), "true");
}

TEST_F(Restore, VolumeSwitchesMustNameTheNextVolume) {
  // A switch back to this same volume would loop for ever: it is damage.
  const auto loop = ArchiveBytes().Header("t", 1, 1).FileRecord("c:\\f.db", kMarch15).Ec2()
                        .Stored("a").End().Text("NEXT:DISK001");
  EXPECT_EQ(Run(loop, dir / "d"), "false");
  EXPECT_EQ(errors, (std::vector<std::string>{"1 Cannot read file"}));
}

TEST_F(Restore, HandMadeVolumesAreJoinedAndAMissingOneIsAskedFor) {
  const auto v1 = ArchiveBytes().Header("t", 6, 1).FileRecord("c:\\f.db", kMarch15).Ec2()
                      .Stored("abc").End().Text("NEXT:DISK002");
  WriteFile(dir / "a.002", ArchiveBytes().Ec2().Compressed("def").End().End().bytes());
  std::vector<int> asked;
  b.OnNeedDisk = [&](TBackupFile&, uint16_t disk, bool&) { asked.push_back(disk); };
  EXPECT_EQ(Run(v1, dir / "d"), "true");
  EXPECT_EQ(ReadFile(dir / "d/f.db"), "abcdef");
  EXPECT_EQ(asked, (std::vector<int>{2}));
  // Missing volume: asked again until the answer is Cancel; False, and no message.
  std::remove((dir / "a.002").c_str());
  asked.clear();
  b.OnNeedDisk = [&](TBackupFile&, uint16_t disk, bool& go) {
    asked.push_back(disk);
    go = asked.size() < 3;
  };
  EXPECT_EQ(Run(v1, dir / "d"), "false");
  EXPECT_EQ(asked, (std::vector<int>{2, 2, 2}));
  EXPECT_EQ(ReadFile(dir / "d/f.db"), "abc");
  // No handler: the prompt counts as Cancel instead of blocking.
  b.OnNeedDisk = nullptr;
  EXPECT_EQ(Run(v1, dir / "d"), "false");
  EXPECT_TRUE(errors.empty());
}

TEST_F(Restore, ArchiveInfoReadsTitleTotalsAndTheFileList) {
  std::vector<std::string> lines = {"stale"};
  std::string title;
  WriteFile(dir / "a.bck", ArchiveBytes().Header("Citt\xE0", 1536, 4)
                               .FileRecord("FILE:LIST", 0).Ec2()
                               .Compressed("c:\\a.db\t1=2\r\nc:\\b.db\t3=4\r\n").End().End()
                               .bytes());
  b.GetArchiveInfo(dir / "a.bck", &lines, title);
  EXPECT_EQ(title, "Città");
  EXPECT_EQ(b.TotalSize(), 1536);
  EXPECT_EQ(b.FileCount(), 4);
  EXPECT_EQ(lines, (std::vector<std::string>{"c:\\a.db\t1=2", "c:\\b.db\t3=4"}));
  WriteFile(dir / "a.bck", OneFile("c:\\a.db", "x").bytes());
  lines.clear();
  b.GetArchiveInfo(dir / "a.bck", &lines, title);
  EXPECT_EQ(title, "t");
  EXPECT_TRUE(lines.empty());
  EXPECT_TRUE(errors.empty());
  b.GetArchiveInfo(dir / "none.bck", &lines, title);
  EXPECT_EQ(title, "");
  EXPECT_TRUE(errors.empty());
}

TEST_F(Restore, ArchiveInfoOfGarbageIsInvalidArchiveType) {
  std::string title = "old";
  std::vector<std::string> lines;
  for (const auto& bad : {ArchiveBytes().Raw("ab"), ArchiveBytes().Int32(2000000000).Raw("x"),
                          ArchiveBytes().Header("t", 1, 1).FileRecord("FILE:LIST", 0)
                              .Raw(std::string("EC2X", 4))}) {
    errors.clear();
    WriteFile(dir / "a.bck", bad.bytes());
    b.GetArchiveInfo(dir / "a.bck", &lines, title);
    EXPECT_EQ(title, "");
    EXPECT_EQ(errors, (std::vector<std::string>{"5 Invalid archive type"}));
  }
}

TEST_F(Restore, StreamModeReadsTheCallersStream) {
  std::istringstream in(OneFile("c:\\s.db", "stream").str());
  b.InStream = &in;
  EXPECT_TRUE(b.Restore(":STREAM", dir / "d"));
  EXPECT_EQ(ReadFile(dir / "d/s.db"), "stream");
}

// Reading ahead must not decide early: each decision sees the files written before it.
TEST_F(Restore, DecisionsSeeTheFilesRestoredJustBefore) {
  constexpr int32_t kMarch16 = kMarch15 + (1 << 16);
  const auto twice = ArchiveBytes().Header("t", 6, 2)
                         .FileRecord("c:\\dup.db", kMarch15).Ec2().Compressed("uno").End()
                         .FileRecord("c:\\dup.db", kMarch16).Ec2().Compressed("due").End()
                         .End();
  b.RestoreMode = rmNoOverwrite;
  EXPECT_EQ(Run(twice, dir / "a"), "true");
  EXPECT_EQ(ReadFile(dir / "a/dup.db"), "uno");
  b.RestoreMode = rmNewer;  // the first copy gets its older date before the second is judged
  EXPECT_EQ(Run(twice, dir / "b"), "true");
  EXPECT_EQ(ReadFile(dir / "b/dup.db"), "due");
  EXPECT_EQ(b.FilesProcessed(), 2);
}

// Regression: a target folder that could not be made used to skip the file silently.
TEST_F(Restore, TargetFolderThatCannotBeMadeIsAnError) {
  WriteFile(dir / "blocked", "a file where the folder should go");
  b.RestoreFullPath = true;
  EXPECT_EQ(Run(OneFile("c:\\dati\\archivio.db", "CD"), dir / "blocked"), "false");
  EXPECT_EQ(errors, (std::vector<std::string>{"1 Cannot read file"}));
}

// Fault: a stored file named like the archive, restored into the archive's folder,
// truncated the archive being read and lost every file after it.
TEST_F(Restore, NeverOverwritesTheArchiveItReads) {
  const auto a = ArchiveBytes().Header("t", 5, 2).FileRecord("c:\\x\\a.bck", kMarch15).Ec2()
                     .Compressed("ZZ").End().FileRecord("c:\\x\\b.db", kMarch15).Ec2()
                     .Compressed("abc").End().End();
  EXPECT_EQ(Run(a, dir.path()), "false");
  EXPECT_EQ(errors, (std::vector<std::string>{"1 Cannot read file"}));
  EXPECT_EQ(ReadFile(dir / "a.bck"), a.str());
  // A later volume is the archive as well.
  const auto v1 = ArchiveBytes().Header("t", 7, 2).FileRecord("c:\\x\\a.002", kMarch15).Ec2()
                      .Compressed("X").End().FileRecord("c:\\f.db", kMarch15).Ec2()
                      .Stored("abc").End().Text("NEXT:DISK002");
  const auto v2 = ArchiveBytes().Ec2().Compressed("def").End().End();
  WriteFile(dir / "a.002", v2.bytes());
  b.OnNeedDisk = [](TBackupFile&, uint16_t, bool&) {};
  errors.clear();
  EXPECT_EQ(Run(v1, dir.path()), "false");
  EXPECT_EQ(errors, (std::vector<std::string>{"1 Cannot read file"}));
  EXPECT_EQ(ReadFile(dir / "a.002"), v2.str());
  // Elsewhere the same archive restores in full.
  errors.clear();
  EXPECT_EQ(Run(v1, dir / "elsewhere"), "true");
  EXPECT_EQ(ReadFile(dir / "elsewhere/f.db"), "abcdef");
  EXPECT_EQ(ReadFile(dir / "elsewhere/a.002"), "X");
}

// Fault: a symbolic link already in the destination led a restored file outside it.
TEST_F(Restore, LinksInTheDestinationDoNotLeadOutsideIt) {
  WriteFile(dir / "out/victim.txt", "keep");
  WriteFile(dir / "dest/plain.txt", "old");
  ASSERT_EQ(symlink((dir / "out").c_str(), (dir / "dest/link").c_str()), 0);
  ASSERT_EQ(symlink((dir / "out/victim.txt").c_str(), (dir / "dest/victim.txt").c_str()), 0);
  b.RestoreFullPath = true;
  for (const std::string name : {"c:\\link\\victim.txt", "c:\\victim.txt", "/link/new.txt"}) {
    errors.clear();
    EXPECT_EQ(Run(OneFile(name, "evil"), dir / "dest"), "false") << name;
    EXPECT_EQ(errors, (std::vector<std::string>{"1 Cannot read file"})) << name;
  }
  EXPECT_EQ(ReadFile(dir / "out/victim.txt"), "keep");
  EXPECT_FALSE(FileExists(dir / "out/new.txt"));
  // Plain files and folders of the destination are overwritten as before.
  errors.clear();
  EXPECT_EQ(Run(OneFile("c:\\plain.txt", "new"), dir / "dest"), "true");
  EXPECT_EQ(ReadFile(dir / "dest/plain.txt"), "new");
}
