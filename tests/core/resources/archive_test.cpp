// The ".qfs" archive: the writer's bytes, the reader over real archive files,
// the manager's rules, and corrupt archives that must log and serve nothing.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>

#include "core/resources/archive_format.h"
#include "core/resources/archive_image.h"
#include "core/resources/archive_writer.h"
#include "core/resources/resource_man.h"
#include "core/resources/virtual_file_system.h"
#include "core/resources/virtual_file_system_res_man.h"
#include "core/text/text_helpers.h"
#include "support/log_capture.h"
#include "tests/core/resource_test_folder.h"

namespace {
template <typename T>
using Owned = std::unique_ptr<T, FreeDeleter>;

std::string ReadAll(TStream& stream) {
  std::string bytes;
  char buffer[1000];
  while (int64_t got = stream.Read(buffer, sizeof(buffer))) bytes.append(buffer, static_cast<size_t>(got));
  return bytes;
}

std::string ReadResource(TResourceMan& manager, const WideString& name) {
  Owned<TStream> stream(manager.createStream(name, fmOpenRead));
  return stream ? ReadAll(*stream) : std::string("<nil>");
}

Owned<TVirtualFileSystemResMan> ArchiveManager(const std::string& path) {
  Owned<TVirtualFileSystemResMan> manager(New<TVirtualFileSystemResMan>());
  manager->setRoot(path);
  return manager;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  ASSERT_TRUE(WriteWholeFile(path, bytes.data(), bytes.size()));
}

std::string Pattern(size_t size, int seed) {
  std::string bytes(size, '\0');
  uint32_t state = static_cast<uint32_t>(seed) * 2654435761u + 1;
  for (char& c : bytes) {
    state = state * 1103515245u + 12345u;
    c = static_cast<char>(state >> 23);
  }
  return bytes;
}

int32_t Int32At(const std::vector<uint8_t>& image, size_t at) {
  int32_t v;
  std::memcpy(&v, image.data() + at, 4);  // the test machine is little-endian, as the format
  return v;
}

void PutInt32(std::vector<uint8_t>& image, size_t at, int32_t value) { std::memcpy(image.data() + at, &value, 4); }

// One file "a.txt" holding "hi", dated 2020-06-18 12:00.
std::vector<uint8_t> SmallImage() {
  return BuildArchiveImage(ArchiveNode::Folder("", {ArchiveNode::File("a.txt", "hi", 44000.5)}));
}
}  // namespace

TEST(ArchiveWriter, SmallImageByteForByte) {
  std::vector<uint8_t> image = SmallImage();
  // Header, a table of two links, the root's block and the file's block.
  ASSERT_EQ(image.size(), 1047u + 2 * 4 + 2 * 4096);
  EXPECT_EQ(std::string(image.begin(), image.begin() + 7), "VFILEST");
  EXPECT_EQ(Int32At(image, 7), 2);     // blocks
  EXPECT_EQ(Int32At(image, 11), 0);    // reserved
  EXPECT_EQ(Int32At(image, 15), 0);    // root block
  EXPECT_EQ(Int32At(image, 19), 1);    // read-only
  EXPECT_EQ(Int32At(image, 1047), -2);  // the root's chain ends
  EXPECT_EQ(Int32At(image, 1051), -2);  // the file's chain ends
  for (size_t i = 23; i < 1047; ++i) ASSERT_EQ(image[i], 0) << i;

  // The root record: size 132 = 4 (count) + 41 (".") + 42 ("..") + 45 ("a.txt").
  const uint8_t date[8] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x7C, 0xE5, 0x40};  // 44000.5 as float64
  std::vector<uint8_t> expected = {132, 0, 0, 0, 3, 0, 0, 0};
  auto entry = [&](const std::string& name, int32_t size, int32_t attributes, const uint8_t* dateBytes,
                   int32_t first) {
    auto put = [&](int32_t v) {
      for (int i = 0; i < 4; ++i) expected.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
    };
    put(static_cast<int32_t>(name.size()));
    expected.insert(expected.end(), name.begin(), name.end());
    put(size);
    put(attributes);
    expected.insert(expected.end(), dateBytes, dateBytes + 8);
    put(first);
    expected.insert(expected.end(), 16, 0);
  };
  const uint8_t zero[8] = {};
  entry(".", 0, 0x10, zero, 0);
  entry("..", 0, 0x10, zero, 0);
  entry("a.txt", 2, 0, date, 1);
  ASSERT_EQ(expected.size(), 136u);
  EXPECT_EQ(std::vector<uint8_t>(image.begin() + 1055, image.begin() + 1055 + 136), expected);
  for (size_t i = 1055 + 136; i < 1055 + 4096; ++i) ASSERT_EQ(image[i], 0) << i;
  EXPECT_EQ(image[5151], 'h');
  EXPECT_EQ(image[5152], 'i');
}

TEST(ArchiveWriter, ChainsAcrossBlocksAndCompressedForm) {
  std::string big = Pattern(4096 * 2 + 1, 1);
  ArchiveNode root = ArchiveNode::Folder("", {ArchiveNode::File("big.bin", big), ArchiveNode::File("empty", "")});
  std::vector<uint8_t> image = BuildArchiveImage(root);
  // Root (1 block), big.bin (3 blocks, 1..3), empty (1 block, 4).
  ASSERT_EQ(Int32At(image, 7), 5);
  EXPECT_EQ(Int32At(image, 1047 + 4 * 1), 2);
  EXPECT_EQ(Int32At(image, 1047 + 4 * 2), 3);
  EXPECT_EQ(Int32At(image, 1047 + 4 * 3), -2);
  EXPECT_EQ(Int32At(image, 1047 + 4 * 4), -2);

  std::vector<uint8_t> packed = CompressArchiveImage(image);
  EXPECT_EQ(std::string(packed.begin(), packed.begin() + 7), "CFILEST");
  std::vector<uint8_t> inflated;
  ASSERT_TRUE(ArchiveImageFromFile(packed, inflated));
  EXPECT_EQ(inflated, image);
  std::vector<uint8_t> plain;
  ASSERT_TRUE(ArchiveImageFromFile(image, plain));
  EXPECT_EQ(plain, image);
}

TEST(ArchiveFileSystem, ReadsTheSmallImage) {
  TFileSystem fs(SmallImage());
  ASSERT_TRUE(fs.valid());
  EXPECT_TRUE(fs.readOnlyFlag());
  EXPECT_FALSE(fs.writable());
  EXPECT_EQ(fs.root()->count(), 3);
  EXPECT_TRUE(fs.fileExists("A.TXT"));
  EXPECT_TRUE(fs.fileExists("\\a.txt"));
  EXPECT_FALSE(fs.fileExists("."));  // a directory is no file
  EXPECT_FALSE(fs.fileExists("b.txt"));
  TFile* file = fs.openRead("a.txt");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->size, 2);
  char text[8] = {};
  EXPECT_EQ(fs.read(*file, text, sizeof(text)), 2);
  EXPECT_STREQ(text, "hi");
  EXPECT_EQ(fs.read(*file, text, sizeof(text)), 0);
  fs.close(file);
  EXPECT_EQ(fs.allFiles(), std::vector<std::string>{"a.txt"});
}

TEST(ArchiveFileSystem, DeletedEntriesAndDeepFolders) {
  ArchiveNode root = ArchiveNode::Folder(
      "", {ArchiveNode::File("*gone.txt", "x"),
           ArchiveNode::Folder("a", {ArchiveNode::Folder("b", {ArchiveNode::File("c.txt", "deep")})})});
  TFileSystem fs(BuildArchiveImage(root));
  ASSERT_TRUE(fs.valid());
  EXPECT_FALSE(fs.fileExists("*gone.txt"));
  EXPECT_TRUE(fs.fileExists("a/B\\c.TXT"));
  EXPECT_TRUE(fs.fileExists("a\\b\\..\\b\\c.txt"));  // ".." is an entry like any other
  EXPECT_NE(fs.findDir("A\\b"), nullptr);
  EXPECT_EQ(fs.findDir("A\\b"), fs.findDir("a/B/"));  // cached by path
  EXPECT_EQ(fs.findDir("a\\c.txt"), nullptr);
  EXPECT_EQ(fs.allFiles(), std::vector<std::string>{"a\\b\\c.txt"});
}

class ArchiveGame : public ::testing::Test {
 protected:
  void SetUp() override {
    files_ = {{"main.qxml", Pattern(1234, 1)},      {"empty.txt", ""},
              {"one.bin", "x"},                      {"Pics/Hero.png", Pattern(4095, 2)},
              {"Pics/exact.bin", Pattern(4096, 3)},  {"Pics/two.bin", Pattern(8192, 4)},
              {"Pics/sub/more.bin", Pattern(10000, 5)}, {"sounds/a.wav", Pattern(4097, 6)}};
    for (const auto& [name, bytes] : files_) t_.write("game/" + name, bytes);
    std::string error;
    ASSERT_TRUE(PackFolder(t_ / "game", t_ / "plain.qfs", false, error)) << error;
    ASSERT_TRUE(PackFolder(t_ / "game", t_ / "packed.qfs", true, error)) << error;
  }

  static WideString Upper(const std::string& name) {
    std::string upper = name;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return AnsiToWide(upper);
  }
  static WideString Lower(const std::string& name) { return AnsiToWide(LowerCaseAscii(name)); }
  static WideString Backslashed(const std::string& name) {
    std::string result = name;
    for (char& c : result) {
      if (c == '/') c = '\\';
    }
    return AnsiToWide(result);
  }

  void expectServesTheFolder(TVirtualFileSystemResMan& manager) {
    ASSERT_TRUE(manager.active());
    for (const auto& [name, bytes] : files_) {
      SCOPED_TRACE(name);
      EXPECT_TRUE(manager.streamExists(AnsiToWide(name)));
      EXPECT_TRUE(ReadResource(manager, AnsiToWide(name)) == bytes);
      EXPECT_TRUE(ReadResource(manager, Backslashed(name)) == bytes);
      EXPECT_TRUE(ReadResource(manager, Upper(name)) == bytes);
      EXPECT_TRUE(ReadResource(manager, Lower(name)) == bytes);
      EXPECT_TRUE(ReadResource(manager, u"\\" + Backslashed(name)) == bytes);
    }
    EXPECT_FALSE(manager.streamExists(u"pics"));
    EXPECT_FALSE(manager.streamExists(u"missing.txt"));
    EXPECT_EQ(manager.createStream(u"missing.txt", fmOpenRead), nullptr);
    EXPECT_EQ(manager.fileSystem()->allFiles().size(), files_.size());
  }

  TestFolder t_;
  std::map<std::string, std::string> files_;
};

TEST_F(ArchiveGame, PlainAndCompressedServeTheFolderByteForByte) {
  LogCapture log;
  auto plain = ArchiveManager(t_ / "plain.qfs");
  expectServesTheFolder(*plain);
  auto packed = ArchiveManager(t_ / "packed.qfs");
  expectServesTheFolder(*packed);
  EXPECT_EQ(plain->fileSystem()->image(), packed->fileSystem()->image());
  EXPECT_TRUE(log.contains("(i) Resource manager TVirtualFileSystemResMan starded"));
  for (const std::string& line : log.messages()) EXPECT_EQ(line.find("(e)"), std::string::npos) << line;
}

TEST_F(ArchiveGame, StreamsReadSeekAndClampLikeFiles) {
  auto manager = ArchiveManager(t_ / "packed.qfs");
  Owned<TStream> stream(manager->createStream(u"pics/two.bin", fmOpenRead));
  ASSERT_NE(stream, nullptr);
  const std::string& bytes = files_["Pics/two.bin"];
  EXPECT_EQ(stream->Size(), 8192);
  EXPECT_EQ(stream->Seek(-4, SeekOrigin::End), 8188);
  char tail[100];
  EXPECT_EQ(stream->Read(tail, 100), 4);  // only what is left
  EXPECT_EQ(std::string(tail, 4), bytes.substr(8188));
  EXPECT_EQ(stream->Seek(4090, SeekOrigin::Begin), 4090);
  char across[12];
  ASSERT_EQ(stream->Read(across, 12), 12);  // across the block boundary
  EXPECT_EQ(std::string(across, 12), bytes.substr(4090, 12));
  EXPECT_EQ(stream->Seek(-2, SeekOrigin::Current), 4100);
  EXPECT_EQ(stream->Seek(-5000, SeekOrigin::Current), -1);  // before the start: refused
  EXPECT_EQ(stream->Position(), 4100);
  EXPECT_EQ(stream->Write("x", 1), 0);

  LogCapture log;
  EXPECT_EQ(stream->Seek(8192, SeekOrigin::Begin), 8192);
  EXPECT_EQ(stream->Read(tail, 1), 0);  // at the end: nothing, silently
  EXPECT_TRUE(log.lines().empty());
  EXPECT_EQ(stream->Seek(8200, SeekOrigin::Begin), 8200);
  EXPECT_EQ(stream->Read(tail, 1), 0);
  EXPECT_TRUE(log.contains("(e) File pics\\two.bin read error"));
}

TEST_F(ArchiveGame, TwoStreamsOnOneFileAreIndependent) {
  auto manager = ArchiveManager(t_ / "plain.qfs");
  Owned<TStream> first(manager->createStream(u"pics/exact.bin", fmOpenRead));
  Owned<TStream> second(manager->createStream(u"PICS\\EXACT.BIN", fmOpenRead));
  ASSERT_TRUE(first && second);
  EXPECT_EQ(manager->fileSystem()->openFileCount(), 2);
  char a[10], b[10];
  first->Seek(100, SeekOrigin::Begin);
  first->Read(a, 10);
  second->Read(b, 10);
  EXPECT_EQ(std::string(a, 10), files_["Pics/exact.bin"].substr(100, 10));
  EXPECT_EQ(std::string(b, 10), files_["Pics/exact.bin"].substr(0, 10));
  first.reset();
  EXPECT_EQ(manager->fileSystem()->openFileCount(), 1);
  EXPECT_TRUE(ReadAll(*second) == files_["Pics/exact.bin"].substr(10));
}

TEST_F(ArchiveGame, StreamOutlivesItsManager) {
  auto manager = ArchiveManager(t_ / "packed.qfs");
  Owned<TStream> stream(manager->createStream(u"sounds/a.wav", fmOpenRead));
  manager.reset();
  ASSERT_NE(stream, nullptr);
  EXPECT_TRUE(ReadAll(*stream) == files_["sounds/a.wav"]);
}

TEST_F(ArchiveGame, WritesAreRefusedAndListingsEmpty) {
  auto manager = ArchiveManager(t_ / "plain.qfs");
  LogCapture log;
  EXPECT_EQ(manager->createStream(u"new.txt", fmCreate), nullptr);
  EXPECT_EQ(manager->createStream(u"main.qxml", fmCreate), nullptr);
  EXPECT_TRUE(log.lines().empty());
  EXPECT_EQ(manager->createStream(u"main.qxml", fmOpenWrite), nullptr);
  EXPECT_EQ(manager->createStream(u"main.qxml", fmOpenReadWrite), nullptr);
  EXPECT_EQ(log.count("(e) Can't create opened file"), 2);
  EXPECT_TRUE(manager->listFiles(u"*").empty());
  EXPECT_EQ(manager->findFilesText(u"pics", u"*.*"), u"");
  manager->IntFindDirInDir(u"\\");
  EXPECT_TRUE(manager->results().empty());
  EXPECT_NE(ReadResource(*manager, u"main.qxml"), "<nil>");
}

TEST_F(ArchiveGame, DatesComeFromTheEntries) {
  TestFolder own;
  ArchiveNode root = ArchiveNode::Folder(
      "", {ArchiveNode::File("s.qxml", "src", 44000.5), ArchiveNode::File("s.qbin", "bin", 44000.25)});
  WriteBytes(own / "dated.qfs", BuildArchiveImage(root));
  auto manager = ArchiveManager(own / "dated.qfs");
  uint32_t date = (40u << 9) | (6u << 5) | 18u;  // 2020-06-18
  EXPECT_EQ(static_cast<uint32_t>(manager->FileDate(u"s.qxml")), (date << 16) | (12u << 11));
  EXPECT_EQ(static_cast<uint32_t>(manager->FileDate(u"s.qbin")), (date << 16) | (6u << 11));
  EXPECT_EQ(manager->FileDate(u"none"), -1);
  EXPECT_TRUE(IsCacheOutdated(manager.get(), u"s.qxml", u"s.qbin"));
  EXPECT_FALSE(IsCacheOutdated(manager.get(), u"s.qbin", u"s.qxml"));
}

TEST_F(ArchiveGame, PackageArchivesFromUsesList) {
  t_.write("pkg/only.txt", "from package");
  t_.write("pkg/main.qxml", "shadowed");
  std::string error;
  ASSERT_TRUE(PackFolder(t_ / "pkg", t_ / "extra.qfs", true, error)) << error;
  auto manager = ArchiveManager(t_ / "plain.qfs");
  manager->setUsesList(u"missing,extra");
  ASSERT_EQ(manager->packageCount(), 1);
  EXPECT_EQ(manager->packageName(0), u"extra");
  EXPECT_EQ(ReadResource(*manager, u"only.txt"), "from package");
  EXPECT_TRUE(manager->streamExists(u"ONLY.TXT"));
  EXPECT_NE(manager->FileDate(u"only.txt"), -1);
  EXPECT_TRUE(ReadResource(*manager, u"main.qxml") == files_["main.qxml"]);
}

TEST_F(ArchiveGame, LanguageSubstitutionSparesTheArchivePath) {
  std::filesystem::create_directories(t_ / "langley");
  std::filesystem::copy_file(t_ / "plain.qfs", t_ / "langley/game.qfs");
  t_.write("langgame/lang/english/text.txt", "hello");
  std::string error;
  ASSERT_TRUE(PackFolder(t_ / "langgame", t_ / "langley/lang.qfs", false, error)) << error;
  auto manager = ArchiveManager(t_ / "langley/game.qfs");
  EXPECT_TRUE(manager->active());
  auto withLang = ArchiveManager(t_ / "langley/lang.qfs");
  EXPECT_EQ(ReadResource(*withLang, u"lang\\text.txt"), "hello");
}

TEST(ArchiveManager, MissingOrForeignFilesStayInactive) {
  TestFolder t;
  LogCapture log;
  EXPECT_FALSE(ArchiveManager(t / "none.qfs")->active());
  t.write("foreign.qfs", "PK\x03\x04 not an archive");
  EXPECT_FALSE(ArchiveManager(t / "foreign.qfs")->active());
  EXPECT_TRUE(log.contains("(e) Unsupported file system "));
}

// ---- corrupt archives -----------------------------------------------------------------------

namespace {
// Opens the image as an archive file and reads every file it holds; answers
// whether the manager became active.
bool OpenCorrupt(const std::vector<uint8_t>& bytes, LogCapture& log, std::string* content = nullptr) {
  TestFolder t;
  WriteBytes(t / "bad.qfs", bytes);
  auto manager = ArchiveManager(t / "bad.qfs");
  if (manager->fileSystem()) {
    for (const std::string& name : manager->fileSystem()->allFiles()) {
      std::string read = ReadResource(*manager, AnsiToWide(name));
      if (content) *content = read;
    }
  }
  (void)log;
  return manager->active();
}

std::vector<uint8_t> TwoBlockFileImage() {
  return BuildArchiveImage(ArchiveNode::Folder("", {ArchiveNode::File("f.bin", Pattern(5000, 9), 44000)}));
}

// The offset of the first entry after "." and ".." in the root record.
constexpr size_t kRootRecord = 1047 + 4 * 3;  // three blocks: root, and f.bin's two
constexpr size_t kFileEntry = kRootRecord + 8 + 41 + 42;
}  // namespace

TEST(ArchiveCorrupt, HeaderValuesAreChecked) {
  LogCapture log;
  std::vector<uint8_t> image = SmallImage();
  auto with = [&](size_t at, int32_t value) {
    std::vector<uint8_t> bad = image;
    PutInt32(bad, at, value);
    return bad;
  };
  EXPECT_FALSE(OpenCorrupt(with(7, 3), log));            // more blocks than the image holds
  EXPECT_FALSE(OpenCorrupt(with(7, -1), log));
  EXPECT_FALSE(OpenCorrupt(with(7, 0x7FFFFFFF), log));
  EXPECT_FALSE(OpenCorrupt(with(15, 2), log));           // root block outside the table
  EXPECT_FALSE(OpenCorrupt(with(15, -2), log));
  EXPECT_FALSE(OpenCorrupt(std::vector<uint8_t>(image.begin(), image.begin() + 1000), log));
  EXPECT_FALSE(OpenCorrupt(std::vector<uint8_t>(image.begin(), image.end() - 1), log));
  EXPECT_EQ(log.count("(e) Read error"), 7);
  EXPECT_TRUE(OpenCorrupt(image, log));
}

TEST(ArchiveCorrupt, DirectoryRecordsAreChecked) {
  LogCapture log;
  std::vector<uint8_t> image = TwoBlockFileImage();
  auto with = [&](size_t at, int32_t value) {
    std::vector<uint8_t> bad = image;
    PutInt32(bad, at, value);
    return bad;
  };
  EXPECT_FALSE(OpenCorrupt(with(kRootRecord, 3 * 4096), log));  // record beyond the chain
  EXPECT_FALSE(OpenCorrupt(with(kRootRecord, 2), log));         // no room for the count
  EXPECT_FALSE(OpenCorrupt(with(kRootRecord + 4, 1000), log));  // more entries than bytes
  EXPECT_FALSE(OpenCorrupt(with(kRootRecord + 4, -1), log));
  EXPECT_FALSE(OpenCorrupt(with(kRootRecord + 8, -5), log));    // name length
  EXPECT_FALSE(OpenCorrupt(with(kRootRecord + 8, 100000), log));
  EXPECT_EQ(log.count("(e) Read error"), 6);
}

TEST(ArchiveCorrupt, FileChainsAndSizesAreChecked) {
  LogCapture log;
  std::vector<uint8_t> image = TwoBlockFileImage();
  const size_t sizeField = kFileEntry + 4 + 5;
  const size_t firstField = sizeField + 4 + 4 + 8;
  ASSERT_EQ(Int32At(image, sizeField), 5000);
  ASSERT_EQ(Int32At(image, firstField), 1);
  auto with = [&](size_t at, int32_t value) {
    std::vector<uint8_t> bad = image;
    PutInt32(bad, at, value);
    return bad;
  };
  std::string content = "unread";
  EXPECT_TRUE(OpenCorrupt(with(1047 + 4 * 1, 1), log, &content));  // a chain that loops on itself
  EXPECT_EQ(content, "<nil>");
  EXPECT_TRUE(OpenCorrupt(with(1047 + 4 * 1, 7), log, &content));  // a link outside the table
  EXPECT_EQ(content, "<nil>");
  EXPECT_TRUE(OpenCorrupt(with(1047 + 4 * 1, -2), log, &content));  // a chain too short for the size
  EXPECT_EQ(content, "<nil>");
  EXPECT_TRUE(OpenCorrupt(with(sizeField, -1), log, &content));
  EXPECT_EQ(content, "<nil>");
  EXPECT_TRUE(OpenCorrupt(with(sizeField, 9000), log, &content));
  EXPECT_EQ(content, "<nil>");
  EXPECT_TRUE(OpenCorrupt(with(firstField, 3), log, &content));
  EXPECT_EQ(content, "<nil>");
  EXPECT_TRUE(OpenCorrupt(with(firstField, -4), log, &content));
  EXPECT_EQ(content, "<nil>");
  EXPECT_EQ(log.count("(e) File f.bin read error"), 7);
  // The root's chain link pointing at itself does not matter: its record fits one block.
  EXPECT_TRUE(OpenCorrupt(with(1047, 0), log, &content));
  EXPECT_TRUE(content == Pattern(5000, 9));
}

TEST(ArchiveCorrupt, CompressedFormIsChecked) {
  LogCapture log;
  std::vector<uint8_t> image = SmallImage();
  std::vector<uint8_t> packed = CompressArchiveImage(image);
  EXPECT_FALSE(OpenCorrupt(std::vector<uint8_t>(packed.begin(), packed.begin() + packed.size() / 2), log));
  EXPECT_FALSE(OpenCorrupt(std::vector<uint8_t>(packed.begin(), packed.begin() + 9), log));
  std::vector<uint8_t> garbage = packed;
  for (size_t i = 9; i < garbage.size(); ++i) garbage[i] ^= 0x5A;
  EXPECT_FALSE(OpenCorrupt(garbage, log));
  EXPECT_EQ(log.count("(e) Read error"), 3);
}

namespace {
// "CFILEST" and a zlib stream of exactly the given bytes.
std::vector<uint8_t> RawCompressed(const std::vector<uint8_t>& payload) {
  uLongf size = compressBound(static_cast<uLong>(payload.size()));
  std::vector<uint8_t> out(7 + size);
  std::memcpy(out.data(), "CFILEST", 7);
  EXPECT_EQ(compress2(out.data() + 7, &size, payload.data(), static_cast<uLong>(payload.size()), 6), Z_OK);
  out.resize(7 + size);
  return out;
}

std::vector<uint8_t> LengthThen(int32_t length, const std::vector<uint8_t>& bytes) {
  std::vector<uint8_t> payload(4);
  PutInt32(payload, 0, length);
  payload.insert(payload.end(), bytes.begin(), bytes.end());
  return payload;
}
}  // namespace

TEST(ArchiveCorrupt, InflatedLengthIsChecked) {
  LogCapture log;
  std::vector<uint8_t> image = SmallImage();
  std::vector<uint8_t> result;
  // The stated length decides; bytes after it are ignored.
  std::vector<uint8_t> extra = image;
  extra.insert(extra.end(), 50, 0xEE);
  ASSERT_TRUE(ArchiveImageFromFile(RawCompressed(LengthThen(static_cast<int32_t>(image.size()), extra)), result));
  EXPECT_EQ(result, image);
  EXPECT_TRUE(log.lines().empty());

  EXPECT_FALSE(ArchiveImageFromFile(RawCompressed(LengthThen(static_cast<int32_t>(image.size()) + 1, image)), result));
  EXPECT_FALSE(ArchiveImageFromFile(RawCompressed(LengthThen(-1, image)), result));
  EXPECT_FALSE(ArchiveImageFromFile(RawCompressed(LengthThen(0x7FFFFFFF, image)), result));
  EXPECT_FALSE(ArchiveImageFromFile(RawCompressed({1, 2}), result));
  EXPECT_TRUE(result.empty());
  EXPECT_EQ(log.count("(e) Read error"), 4);
}

TEST(ArchivePacker, ToolPacksAFolderBothWays) {
  const std::string tool = std::string(Q_BINARY_DIR) + "/qfs_pack";
  if (!std::filesystem::exists(tool)) GTEST_SKIP() << "the packer is built with the whole tree";
  TestFolder t;
  t.write("game/main.qxml", "<Applet/>");
  t.write("game/Data/Block.bin", Pattern(4096 * 3, 11));
  t.write("game/Data/caf\xC3\xA9.txt", "caf\xE9 in 8-bit text");  // stored as Windows-1252
  ASSERT_EQ(std::system((tool + " " + (t / "game") + " " + (t / "plain.qfs")).c_str()), 0);
  ASSERT_EQ(std::system((tool + " -c " + (t / "game") + " " + (t / "packed.qfs")).c_str()), 0);
  for (const char* name : {"plain.qfs", "packed.qfs"}) {
    SCOPED_TRACE(name);
    auto manager = ArchiveManager(t / name);
    ASSERT_TRUE(manager->active());
    EXPECT_EQ(ReadResource(*manager, u"MAIN.QXML"), "<Applet/>");
    EXPECT_TRUE(ReadResource(*manager, u"data/block.bin") == Pattern(4096 * 3, 11));
    EXPECT_EQ(ReadResource(*manager, u"data\\CAF\u00E9.txt"), "caf\xE9 in 8-bit text");
  }
  EXPECT_EQ(t.read("packed.qfs").substr(0, 7), "CFILEST");
  EXPECT_EQ(t.read("plain.qfs").substr(0, 7), "VFILEST");
  // A name with no 8-bit form stops the packing; nothing is written.
  t.write("odd/\xE6\xBC\xA2.txt", "x");
  EXPECT_NE(std::system((tool + " " + (t / "odd") + " " + (t / "odd.qfs") + " 2>/dev/null").c_str()), 0);
  EXPECT_FALSE(t.exists("odd.qfs"));
  EXPECT_NE(std::system((tool + " 2>/dev/null").c_str()), 0);
}
