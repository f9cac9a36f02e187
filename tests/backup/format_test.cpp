// The bytes Backup writes, compared with archives assembled by hand field by field.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <sstream>

#include "archiveformat.h"
#include "backup.h"
#include "testutil.h"

using namespace backuptest;

namespace {

// 2024-03-15 10:20:30 local, packed by hand: date 0x586F, time 0x528F.
constexpr int32_t kMarch15 = 0x586F528F;

class Format : public ::testing::Test {
 protected:
  std::string Make(const std::string& name, const std::string& data) {
    const std::string path = dir / name;
    WriteFile(path, data);
    SetLocalTime(path, 2024, 3, 15, 10, 20, 31);  // odd seconds round down
    return path;
  }
  std::string Archive() const { return ReadFile(dir / "x.bck"); }

  ScratchDir dir;
  TBackupFile b;
};

}  // namespace

TEST(ArchiveFormat, DosDateTimeIsPackedInLocalTime) {
  std::time_t t = 0;
  ASSERT_TRUE(sonaro::backup::TimeFromDosDateTime(kMarch15, t));
  EXPECT_EQ(sonaro::backup::DosDateTimeFromTime(t), kMarch15);
  std::tm lt{};
  localtime_r(&t, &lt);
  EXPECT_EQ(lt.tm_hour, 10);
  EXPECT_EQ(lt.tm_sec, 30);
  EXPECT_FALSE(sonaro::backup::TimeFromDosDateTime(0, t));  // month 0 is no date
  // Dates from 2044 on use the sign bit and still compare as later.
  EXPECT_TRUE(sonaro::backup::DosEarlier(kMarch15, int32_t(0x88210000u)));
}

TEST(ArchiveFormat, VolumeNamesReplaceTheExtension) {
  using sonaro::backup::VolumeName;
  EXPECT_EQ(VolumeName("/dati/Backup.bck", "002"), "/dati/Backup.002");
  EXPECT_EQ(VolumeName("/dati.old/backup", "003"), "/dati.old/backup.003");
  EXPECT_EQ(sonaro::backup::VolumeDigits(1000), "000");
}

TEST(ArchiveFormat, NamesAreWindows1252) {
  std::string out;
  ASSERT_TRUE(sonaro::backup::Utf8ToCp1252("Città €", out));
  EXPECT_EQ(out, "Citt\xE0 \x80");
  EXPECT_EQ(sonaro::backup::Cp1252ToUtf8(out), "Città €");
  EXPECT_FALSE(sonaro::backup::Utf8ToCp1252("東京", out));
  EXPECT_FALSE(sonaro::backup::Utf8ToCp1252("bad\xFFutf8", out));
}

TEST_F(Format, EmptyListIsHeaderAndEndMarker) {
  b.BackupTitle = "Vuoto";
  ASSERT_TRUE(b.Backup({dir / "*.nothing"}, dir / "x.bck"));
  EXPECT_EQ(Archive(), ArchiveBytes().Header("Vuoto", 0, 0).End().str());
  EXPECT_EQ(b.CompressionRate(), 0);
}

TEST_F(Format, SmallFileIsOneCompressedChunk) {
  const std::string data = TextBytes(5000);
  const std::string path = Make("a.db", data);
  b.BackupTitle = "Backup";
  ASSERT_TRUE(b.Backup({dir / "*.db"}, dir / "x.bck"));
  const auto expected = ArchiveBytes()
                            .Header("Backup", 5000, 1)
                            .FileRecord(path, kMarch15)
                            .Ec2()
                            .Compressed(data, 1)
                            .End()
                            .End();
  EXPECT_EQ(Archive(), expected.str());
  EXPECT_EQ(b.ArchiveBytes(), int64_t(4 + 4 + ZlibStream(data, 1).size()));
}

TEST_F(Format, PieceBoundaries) {
  const std::string exact = NoiseBytes(16384, 1);
  const std::string oneMore = NoiseBytes(16385, 2);
  const std::string p1 = Make("a.bin", exact);
  const std::string p2 = Make("b.bin", oneMore);
  const std::string p3 = Make("c.bin", "");
  ASSERT_TRUE(b.Backup({dir / "*.bin"}, dir / "x.bck"));
  const auto expected = ArchiveBytes()
                            .Header("", 16384 + 16385, 3)
                            .FileRecord(p1, kMarch15).Ec2().Stored(exact).End()
                            .FileRecord(p2, kMarch15).Ec2().Stored(oneMore.substr(0, 16384))
                            .Compressed(oneMore.substr(16384), 1).End()
                            .FileRecord(p3, kMarch15).Ec2().End()  // empty: 8 bytes
                            .End();
  EXPECT_EQ(Archive(), expected.str());
}

TEST_F(Format, LevelNoneStoresFullPiecesButNotAShortLastOne) {
  const std::string data = TextBytes(16384 + 100);
  const std::string path = Make("t.txt", data);
  b.CompressionLevel = clNone;
  ASSERT_TRUE(b.Backup({dir / "*.txt"}, dir / "x.bck"));
  const auto expected = ArchiveBytes()
                            .Header("", int32_t(data.size()), 1)
                            .FileRecord(path, kMarch15).Ec2().Stored(data.substr(0, 16384))
                            .Compressed(data.substr(16384), 0).End()
                            .End();
  EXPECT_EQ(Archive(), expected.str());
}

TEST_F(Format, FileIdListIsTheFirstRecordAndItsTemporaryFileGoes) {
  setenv("TMPDIR", dir.path().c_str(), 1);
  const std::string p1 = Make("a.db", "uno");
  const std::string p2 = Make("b.db", "quattro");
  b.SaveFileID = true;
  ASSERT_TRUE(b.Backup({dir / "*.db"}, dir / "x.bck"));
  unsetenv("TMPDIR");
  const std::string list = p1 + "\t" + std::to_string(kMarch15) + "=3\r\n" + p2 + "\t" +
                           std::to_string(kMarch15) + "=7\r\n";
  const std::string archive = Archive();
  const auto head = ArchiveBytes().Header("", int32_t(3 + 7 + list.size()), 2).Text("FILE:LIST");
  ASSERT_EQ(archive.substr(0, head.bytes().size()), head.str());
  // Its date is the temporary file's: skip it; then the list as one chunk.
  const auto rest = ArchiveBytes().Ec2().Compressed(list, 1).End()
                        .FileRecord(p1, kMarch15).Ec2().Compressed("uno", 1).End()
                        .FileRecord(p2, kMarch15).Ec2().Compressed("quattro", 1).End()
                        .End();
  EXPECT_EQ(archive.substr(head.bytes().size() + 4), rest.str());
  EXPECT_EQ(b.FileCount(), 2);
  EXPECT_EQ(FilesBelow(dir.path()), (std::vector<std::string>{"a.db", "b.db", "x.bck"}));
}

TEST_F(Format, StreamModeWritesTheSameBytes) {
  const std::string path = Make("a.db", TextBytes(40000));
  ASSERT_TRUE(b.Backup({dir / "*.db"}, dir / "x.bck"));
  std::ostringstream out;
  b.OutStream = &out;
  ASSERT_TRUE(b.Backup({dir / "*.db"}, ":STREAM"));
  EXPECT_EQ(out.str(), Archive());
}

// 3 MB of data blocks over 1,400,000-byte volumes: x.bck, x.002, x.003.
TEST_F(Format, VolumesSwitchBeforeTheHeadroomIsUsed) {
  const std::string data = NoiseBytes(3000000, 7);
  const std::string path = Make("big.bin", data);
  std::vector<int> disks;
  b.OnNeedDisk = [&](TBackupFile&, uint16_t disk, bool&) { disks.push_back(disk); };
  b.MaxSize = 1400000;
  ASSERT_TRUE(b.Backup({dir / "*.bin"}, dir / "x.bck"));
  EXPECT_EQ(disks, (std::vector<int>{2, 3}));
  const std::string v1 = ReadFile(dir / "x.bck");
  const std::string v2 = ReadFile(dir / "x.002");
  const std::string v3 = ReadFile(dir / "x.003");
  for (const auto* v : {&v1, &v2}) {
    EXPECT_GT(v->size(), 1400000u - 16484u);
    EXPECT_LE(v->size(), 1400000u);
    EXPECT_EQ(v->substr(v->size() - 20, 8), ArchiveBytes().Int32(0).Int32(12).str());
  }
  EXPECT_EQ(v1.substr(v1.size() - 12), "NEXT:DISK002");
  EXPECT_EQ(v2.substr(v2.size() - 12), "NEXT:DISK003");
  EXPECT_EQ(v2.substr(0, 4), std::string("EC2\0", 4));
  EXPECT_EQ(v3.substr(0, 4), std::string("EC2\0", 4));
  EXPECT_FALSE(FileExists(dir / "x.004"));
  // Chunk by chunk the volumes hold the file's pieces in order.
  std::string joined;
  for (const auto* v : {&v1, &v2, &v3}) {
    std::size_t pos = v == &v1 ? ArchiveBytes().Header("", 0, 0).FileRecord(path, 0).bytes().size()
                               : 0;
    pos += 4;
    for (;;) {
      const int32_t c = sonaro::backup::GetInt32(reinterpret_cast<const unsigned char*>(&(*v)[pos]));
      pos += 4;
      if (c == 0) break;
      if (c < 0) {
        joined += v->substr(pos, std::size_t(-c));
      } else {
        std::string piece(16384, '\0');
        uLongf len = piece.size();
        ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(piece.data()), &len,
                             reinterpret_cast<const Bytef*>(v->data() + pos), uLong(c)), Z_OK);
        joined += piece.substr(0, len);
      }
      pos += std::size_t(c < 0 ? -c : c);
    }
  }
  EXPECT_EQ(joined, data);
}

TEST_F(Format, ArchiveIsTheSameWhateverTheNumberOfThreads) {
  Make("a.txt", TextBytes(300000, 3));
  Make("b.bin", NoiseBytes(100000, 4));
  Make("c.txt", TextBytes(16384 * 3, 5) + NoiseBytes(7, 6));
  b.MaxSize = 60000;
  b.OnNeedDisk = [](TBackupFile&, uint16_t, bool&) {};
  std::string reference;
  for (int threads : {0, 1, 2, 5}) {
    b.WorkerThreads = threads;
    ASSERT_TRUE(b.Backup({dir / "*.txt", dir / "*.bin"}, dir / "x.bck"));
    std::string all;
    for (const char* ext : {"bck", "002", "003", "004", "005", "006", "007", "008"}) {
      all += ReadFile(dir / (std::string("x.") + ext)) + "|";
    }
    if (reference.empty()) reference = all;
    EXPECT_EQ(all, reference) << threads << " threads";
  }
}
