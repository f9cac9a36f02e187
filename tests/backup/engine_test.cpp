// Backup and Restore driven as the window and the tool drive them: round trips over volumes,
// prompts answered OK and Cancel, incremental backups, stops, events and clean-up.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "archiveformat.h"
#include "backup.h"
#include "testutil.h"

using namespace backuptest;

namespace {

class Engine : public ::testing::Test {
 protected:
  Engine() {
    WriteFile(dir / "data/archivio.db", TextBytes(70000, 1));
    WriteFile(dir / "data/canzoni.db", TextBytes(50000, 2) + NoiseBytes(40000, 3));
    WriteFile(dir / "data/cover.jpg", NoiseBytes(33000, 4));
    WriteFile(dir / "data/vuoto.txt", "");
    WriteFile(dir / "data/sub/note.txt", TextBytes(100, 5));
    b.OnError = [this](TBackupFile&, int32_t code, const std::string&) { errors.push_back(code); };
  }
  std::vector<std::string> All() const { return {dir / "data/* /s"}; }
  void ExpectRestoredCopy(const std::string& dest) const {
    const auto files = FilesBelow(dir / "data");
    ASSERT_EQ(FilesBelow(dest + dir.path() + "/data"), files);
    for (const auto& f : files) {
      EXPECT_EQ(ReadFile(dest + dir.path() + "/data/" + f), ReadFile(dir / ("data/" + f))) << f;
    }
  }
  int Stored(const std::string& archive) {
    EXPECT_TRUE(b.Restore(archive, dir / "probe"));
    return b.FilesProcessed();
  }

  ScratchDir dir;
  TBackupFile b;
  std::vector<int> errors;
};

}  // namespace

TEST_F(Engine, MultiVolumeRoundTripWithPromptsAnsweredOk) {
  std::vector<int> backupDisks;
  std::vector<int> restoreDisks;
  b.MaxSize = 20000;
  b.OnNeedDisk = [&](TBackupFile& s, uint16_t d, bool&) {
    (s.Busy() ? backupDisks : restoreDisks).push_back(d);
  };
  b.SaveFileID = true;
  ASSERT_TRUE(b.Backup(All(), dir / "x.bck"));
  EXPECT_EQ(b.FileCount(), 5);
  EXPECT_EQ(b.FilesProcessed(), 5);
  EXPECT_GE(backupDisks.size(), 5u);
  const unsigned last = unsigned(backupDisks.size()) + 1;
  EXPECT_TRUE(FileExists(dir / ("x." + sonaro::backup::VolumeDigits(last))));
  EXPECT_FALSE(FileExists(dir / ("x." + sonaro::backup::VolumeDigits(last + 1))));
  auto volumes = backupDisks;
  b.OnNeedDisk = [&](TBackupFile&, uint16_t d, bool&) { restoreDisks.push_back(d); };
  b.RestoreFullPath = true;
  ASSERT_TRUE(b.Restore(dir / "x.bck", dir / "r"));
  EXPECT_EQ(restoreDisks, volumes);
  EXPECT_EQ(b.FilesProcessed(), 5);
  ExpectRestoredCopy(dir / "r");
  EXPECT_TRUE(errors.empty());
}

TEST_F(Engine, CancelAtTheVolumePromptEndsBackupAfterTheSwitchRecord) {
  b.MaxSize = 20000;
  int asked = 0;
  b.OnNeedDisk = [&](TBackupFile&, uint16_t, bool& go) { go = ++asked < 2; };
  EXPECT_FALSE(b.Backup(All(), dir / "x.bck"));
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(b.ErrorCode(), 0);
  EXPECT_TRUE(errors.empty());
  const std::string last = ReadFile(dir / "x.002");
  EXPECT_EQ(last.substr(last.size() - 12), "NEXT:DISK003");
  EXPECT_FALSE(FileExists(dir / "x.003"));
  EXPECT_FALSE(b.Busy());
  // Without a handler the prompt is Cancel at once: no blocking, no archive beyond volume 1.
  b.OnNeedDisk = nullptr;
  EXPECT_FALSE(b.Backup(All(), dir / "y.bck"));
  EXPECT_FALSE(FileExists(dir / "y.002"));
}

TEST_F(Engine, IncrementalBackupsStoreOnlyChangedFiles) {
  b.BackupMode(bmIncremental);
  EXPECT_TRUE(b.SetArchiveFlag);
  ASSERT_TRUE(b.Backup(All(), dir / "i1.bck"));
  EXPECT_EQ(b.FilesProcessed(), 5);
  ASSERT_TRUE(b.Backup(All(), dir / "i2.bck"));
  EXPECT_EQ(b.FilesProcessed(), 0);
  EXPECT_EQ(b.FileCount(), 0);
  WriteFile(dir / "data/canzoni.db", "cambiato");
  ASSERT_TRUE(b.Backup(All(), dir / "i3.bck"));
  EXPECT_EQ(b.FilesProcessed(), 1);
  EXPECT_EQ(Stored(dir / "i3.bck"), 1);
  // A restored file counts as changed again, as a written file does on Windows.
  b.RestoreFullPath = false;
  ASSERT_TRUE(b.Restore(dir / "i3.bck", dir / "data"));
  ASSERT_TRUE(b.Backup(All(), dir / "i4.bck"));
  EXPECT_EQ(b.FilesProcessed(), 1);
}

// Regression: a stop in the middle of a file used to clear its archive attribute, so the
// next incremental backup silently left the file out.
TEST_F(Engine, FileCutShortByAStopKeepsItsArchiveAttribute) {
  b.BackupMode(bmIncremental);
  b.OnProgress = [](TBackupFile& s, const std::string& name, TPercentage, bool& go) {
    if (name.ends_with("canzoni.db")) go = false;
    (void)s;
  };
  EXPECT_FALSE(b.Backup({dir / "data/*.db"}, dir / "s.bck"));
  b.OnProgress = nullptr;
  ASSERT_TRUE(b.Backup({dir / "data/*.db"}, dir / "t.bck"));
  EXPECT_EQ(b.FilesProcessed(), 1);  // canzoni.db again; archivio.db was stored whole
  EXPECT_EQ(Stored(dir / "t.bck"), 1);
  EXPECT_TRUE(FileExists(dir / "probe/canzoni.db"));
}

TEST_F(Engine, MasksCollectEachFileOnceAndNeverTheArchiveItself) {
  ASSERT_TRUE(b.Backup({dir / "data/*.DB", dir / "data/archivio.db", dir / "data/* /S"},
                       dir / "data/self.bck"));
  EXPECT_EQ(b.FileCount(), 5);
  ASSERT_TRUE(b.Backup({dir / "data/*.db"}, dir / "data/self.bck"));
  EXPECT_EQ(b.FileCount(), 2);  // "*.db" without " /s": no subdirectory
  // Only subdirectories whose names match the pattern are entered.
  ASSERT_TRUE(b.Backup({dir / "data/*.txt /s"}, dir / "x.bck"));
  EXPECT_EQ(b.FileCount(), 1);
}

TEST_F(Engine, ProgressRunsFromZeroToHundredAndBusyHoldsMeanwhile) {
  std::vector<int> percents;
  std::vector<std::string> names;
  int pumps = 0;
  bool busyInside = true;
  b.OnProgress = [&](TBackupFile& s, const std::string& name, TPercentage p, bool&) {
    percents.push_back(p);
    busyInside = busyInside && s.Busy();
    names.push_back(name);
  };
  b.OnPump = [&] { ++pumps; };
  ASSERT_TRUE(b.Backup(All(), dir / "x.bck"));
  EXPECT_TRUE(busyInside);
  EXPECT_FALSE(b.Busy());
  ASSERT_GE(percents.size(), 3u);
  EXPECT_EQ(percents.front(), 0);
  EXPECT_EQ(percents.back(), 100);
  EXPECT_EQ(names.front(), "");
  EXPECT_EQ(names.back(), "");
  EXPECT_EQ(names[1], dir / "data/archivio.db");
  EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
  // One pump per chunk: 70000 + 90000 + 33000 + 100 bytes make 5 + 6 + 3 + 1 chunks.
  EXPECT_EQ(pumps, 15);
  EXPECT_GT(b.CompressionRate(), 0);
}

TEST_F(Engine, StopEndsTheOperationAtTheNextChunk) {
  int chunks = 0;
  b.OnPump = [&] {
    if (++chunks == 2) b.Stop();
  };
  EXPECT_FALSE(b.Backup({dir / "data/archivio.db"}, dir / "x.bck"));
  EXPECT_EQ(chunks, 2);
  EXPECT_EQ(b.ErrorCode(), 0);
  b.OnPump = nullptr;
  ASSERT_TRUE(b.Backup({dir / "data/archivio.db"}, dir / "x.bck"));
  chunks = 0;
  b.OnPump = [&] {
    if (++chunks == 3) b.Stop();
  };
  EXPECT_FALSE(b.Restore(dir / "x.bck", dir / "r"));
  EXPECT_EQ(ReadFile(dir / "r/archivio.db").size(), 3u * 16384u);
}

TEST_F(Engine, NameOutsideTheCodePageFailsTheBackupAndSaysWhichFile) {
  WriteFile(dir / "data/東京.db", "x");
  EXPECT_FALSE(b.Backup({dir / "data/*.db"}, dir / "x.bck"));
  EXPECT_EQ(errors, (std::vector<int>{1}));
  EXPECT_EQ(b.CurrentFile(), dir / "data/東京.db");
}

TEST_F(Engine, FileIdTemporaryFileIsRemovedAlsoAfterAFailure) {
  ScratchDir tmp;
  setenv("TMPDIR", tmp.path().c_str(), 1);
  b.SaveFileID = true;
  EXPECT_FALSE(b.Backup(All(), dir / "missing-dir/x.bck"));  // cannot create the archive
  unsetenv("TMPDIR");
  EXPECT_EQ(errors, (std::vector<int>{4}));
  EXPECT_TRUE(FilesBelow(tmp.path()).empty());
  EXPECT_FALSE(b.Busy());
}

TEST_F(Engine, RestoreToStoredPathsWithNoOverwriteWritesNothing) {
  ASSERT_TRUE(b.Backup(All(), dir / "x.bck"));
  b.RestoreMode = rmNoOverwrite;
  EXPECT_TRUE(b.Restore(dir / "x.bck", ""));
  EXPECT_EQ(b.FilesProcessed(), 0);
}

TEST_F(Engine, CompressionRateDoesNotOverflowOnLargeBackups) {
  WriteFile(dir / "big/large.txt", std::string(30u << 20, 'a'));
  ASSERT_TRUE(b.Backup({dir / "big/*"}, dir / "x.bck"));
  EXPECT_GE(b.CompressionRate(), 99);
}

// Regression: a backup that failed or was stopped before writing used to truncate the
// archive of the same name all the same.
TEST_F(Engine, BackupEndedBeforeWritingLeavesAnExistingArchiveAlone) {
  WriteFile(dir / "x.bck", "previous archive");
  b.OnProgress = [](TBackupFile&, const std::string&, TPercentage, bool& go) { go = false; };
  EXPECT_FALSE(b.Backup(All(), dir / "x.bck"));
  b.OnProgress = nullptr;
  setenv("TMPDIR", (dir / "no-such-folder").c_str(), 1);
  b.SaveFileID = true;
  EXPECT_FALSE(b.Backup(All(), dir / "x.bck"));
  unsetenv("TMPDIR");
  EXPECT_EQ(errors, (std::vector<int>{7}));
  EXPECT_EQ(ReadFile(dir / "x.bck"), "previous archive");
}

// Regression: failures while closing the archive were ignored; with buffered writes the end
// marker may be among the bytes that never reached the disk.
TEST_F(Engine, ArchiveThatCannotBeFlushedIsNotASuccess) {
  if (!FileExists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  EXPECT_FALSE(b.Backup({dir / "data/vuoto.txt"}, "/dev/full"));
  EXPECT_EQ(errors, (std::vector<int>{4}));
}

// Fault: without OnNeedDisk/OnError the engine showed nothing a window could route to a box.
TEST_F(Engine, BuiltInBoxesReachTheHooksWhenNoEventIsAssigned) {
  std::vector<std::string> prompts;
  std::vector<std::string> boxes;
  b.OnError = nullptr;
  b.ErrorBox = [&](const std::string& text) { boxes.push_back(text); };
  b.DiskPrompt = [&](const std::string& text) {
    prompts.push_back(text);
    return prompts.size() < 2;  // OK for disk 2, Cancel for disk 3
  };
  b.MaxSize = 20000;
  EXPECT_FALSE(b.Backup(All(), dir / "x.bck"));
  ASSERT_EQ(prompts.size(), 2u);
  EXPECT_EQ(prompts[0], "Please insert disk 2 and click OK to continue.");
  EXPECT_EQ(prompts[1], "Please insert disk 3 and click OK to continue.");
  EXPECT_TRUE(FileExists(dir / "x.002"));
  EXPECT_FALSE(FileExists(dir / "x.003"));
  EXPECT_TRUE(boxes.empty());  // a cancelled prompt is no error
  // An assigned event still wins over the hook.
  int events = 0;
  b.OnNeedDisk = [&](TBackupFile&, uint16_t, bool&) { ++events; };
  EXPECT_TRUE(b.Backup(All(), dir / "y.bck"));
  EXPECT_GT(events, 0);
  EXPECT_EQ(prompts.size(), 2u);
  WriteFile(dir / "bad.bck", std::string("\x03\x00\x00\x00T", 5));
  std::string title;
  b.GetArchiveInfo(dir / "bad.bck", nullptr, title);
  EXPECT_EQ(boxes, std::vector<std::string>{"Invalid archive type"});
}

// Fault: a volume limit too small for one chunk switched volumes for ever without storing.
TEST_F(Engine, VolumeLimitThatHoldsNoChunkIsAnErrorNotAnEndlessRunOfVolumes) {
  int asked = 0;
  b.OnNeedDisk = [&](TBackupFile&, uint16_t, bool& go) { go = ++asked < 40; };
  for (int32_t size : {16000, 16488, -1}) {
    asked = 0;
    errors.clear();
    b.MaxSize = size;
    EXPECT_FALSE(b.Backup(All(), dir / "x.bck")) << size;
    EXPECT_EQ(asked, 0) << size;
    EXPECT_EQ(errors, std::vector<int>{4}) << size;
    EXPECT_FALSE(FileExists(dir / "x.bck")) << size;
    EXPECT_FALSE(b.Busy());
  }
  // The smallest limit that holds a chunk after a continuation volume's signature works.
  b.MaxSize = 16489;
  ASSERT_TRUE(b.Backup({dir / "data/cover.jpg"}, dir / "y.bck"));
  EXPECT_EQ(asked, 3);  // 33,000 noise bytes: three stored chunks, one per volume
  b.OnNeedDisk = [](TBackupFile&, uint16_t, bool&) {};
  ASSERT_TRUE(b.Restore(dir / "y.bck", dir / "r"));
  EXPECT_EQ(ReadFile(dir / "r/cover.jpg"), ReadFile(dir / "data/cover.jpg"));
}
