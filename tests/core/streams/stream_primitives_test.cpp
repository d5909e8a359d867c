// Typed stream values: their exact little-endian bytes in real files, and what
// short or hostile streams give.
#include "core/streams/stream_primitives.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <filesystem>
#include <string>
#include <vector>

#include "core/resources/stream.h"
#include "core/system/log.h"

namespace {

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "stream_primitives_XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TempFolder() { std::filesystem::remove_all(path_); }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

class LogCapture {
 public:
  LogCapture() {
    saved_ = LogHandler();
    LogHandler() = [this](const WideString& line) { lines_.push_back(WideToUtf8(line)); };
  }
  ~LogCapture() { LogHandler() = saved_; }
  // The lines without their time stamp: "(e) text" or "(i) text".
  std::vector<std::string> texts() const {
    std::vector<std::string> out;
    for (const std::string& line : lines_) out.push_back(line.substr(9));
    return out;
  }

 private:
  LogHandlerProc saved_;
  std::vector<std::string> lines_;
};

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<uint8_t> out;
  for (int v : values) out.push_back(static_cast<uint8_t>(v));
  return out;
}

}  // namespace

TEST(StreamPrimitives, WritesEachValueAsItsLittleEndianBytesToAFile) {
  TempFolder folder;
  const std::string name = folder.file("values.bin");
  {
    TFileStream out(name, FileMode::Create);
    ASSERT_TRUE(out.IsOpen());
    EXPECT_TRUE(StreamWriteInt(out, -2));
    EXPECT_TRUE(StreamWriteInt(out, 0x12345678));
    EXPECT_TRUE(StreamWriteBool(out, true));
    EXPECT_TRUE(StreamWriteBool(out, false));
    EXPECT_TRUE(StreamWriteFloat(out, 1.0f));
    EXPECT_TRUE(StreamWriteDouble(out, -2.5));
    EXPECT_TRUE(StreamWriteString(out, "ab"));
    EXPECT_TRUE(StreamWriteString(out, ""));
    EXPECT_TRUE(StreamWriteString(out, "\xE9"));
    const char16_t units[] = {u'A', 0x20AC};
    EXPECT_TRUE(StreamWriteWords(out, units, 2));
    const float floats[] = {0.5f, -1.0f};
    EXPECT_TRUE(StreamWriteDWords(out, floats, 2));
    const uint8_t raw[] = {9, 8, 7};
    EXPECT_TRUE(StreamWrite(out, raw, 3));
    ASSERT_TRUE(out.Close());
  }
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadWholeFile(name, bytes));
  EXPECT_EQ(bytes, Bytes({0xFE, 0xFF, 0xFF, 0xFF,                          // -2
                          0x78, 0x56, 0x34, 0x12,                          // 0x12345678
                          1, 0, 0, 0, 0, 0, 0, 0,                          // true, false
                          0x00, 0x00, 0x80, 0x3F,                          // 1.0f
                          0, 0, 0, 0, 0, 0, 0x04, 0xC0,                    // -2.5
                          2, 0, 0, 0, 'a', 'b',                            // "ab"
                          0, 0, 0, 0,                                      // ""
                          1, 0, 0, 0, 0xE9,                                // one 8-bit byte, unconverted
                          0x41, 0x00, 0xAC, 0x20,                          // A, euro sign
                          0x00, 0x00, 0x00, 0x3F, 0x00, 0x00, 0x80, 0xBF,  // 0.5f, -1.0f
                          9, 8, 7}));

  TFileStream in(name, FileMode::OpenRead);
  ASSERT_TRUE(in.IsOpen());
  EXPECT_EQ(StreamReadInt(in), -2);
  EXPECT_EQ(StreamReadInt(in), 0x12345678);
  EXPECT_TRUE(StreamReadBool(in));
  EXPECT_FALSE(StreamReadBool(in));
  EXPECT_EQ(StreamReadFloat(in), 1.0f);
  EXPECT_EQ(StreamReadDouble(in), -2.5);
  EXPECT_EQ(StreamReadString(in), "ab");
  EXPECT_EQ(StreamReadString(in), "");
  EXPECT_EQ(StreamReadString(in), "\xE9");
  char16_t units[2] = {};
  EXPECT_TRUE(StreamReadWords(in, units, 2));
  EXPECT_EQ(units[0], u'A');
  EXPECT_EQ(units[1], 0x20AC);
  float floats[2] = {};
  EXPECT_TRUE(StreamReadDWords(in, floats, 2));
  EXPECT_EQ(floats[0], 0.5f);
  EXPECT_EQ(floats[1], -1.0f);
  uint8_t raw[3] = {};
  EXPECT_TRUE(StreamRead(in, raw, 3));
  EXPECT_EQ(raw[2], 7);
  EXPECT_EQ(in.Remaining(), 0);
}

TEST(StreamPrimitives, BooleanIsTrueForAnyNonZeroBits) {
  TMemoryStream stream(Bytes({0, 1, 0, 0, 0, 0, 0, 0x80, 0, 0, 0, 0}));
  bool value = false;
  EXPECT_TRUE(StreamReadBool(stream, value));
  EXPECT_TRUE(value);
  EXPECT_TRUE(StreamReadBool(stream, value));
  EXPECT_TRUE(value);
  EXPECT_TRUE(StreamReadBool(stream, value));
  EXPECT_FALSE(value);
}

TEST(StreamPrimitives, PixelsAndIntegerArraysKeepEveryBit) {
  TMemoryStream stream;
  const uint32_t pixels[] = {0xFF102030u, 0x00000000u, 0x80FFFFFFu};
  const int32_t numbers[] = {-1, 0x7FFFFFFF, INT32_MIN};
  ASSERT_TRUE(StreamWriteDWords(stream, pixels, 3));
  ASSERT_TRUE(StreamWriteDWords(stream, numbers, 3));
  EXPECT_EQ(stream.Bytes()[0], 0x30);
  EXPECT_EQ(stream.Bytes()[3], 0xFF);
  stream.SetPosition(0);
  uint32_t readPixels[3] = {};
  int32_t readNumbers[3] = {};
  EXPECT_TRUE(StreamReadPixels(stream, readPixels, 3));
  EXPECT_TRUE(StreamReadDWords(stream, readNumbers, 3));
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(readPixels[i], pixels[i]);
    EXPECT_EQ(readNumbers[i], numbers[i]);
  }
}

TEST(StreamPrimitives, LongArraysCrossTheInternalBufferIntact) {
  // 10000 items of 4 bytes are more than one internal step of reading.
  std::vector<uint32_t> values(10000);
  for (size_t i = 0; i < values.size(); ++i) values[i] = static_cast<uint32_t>(i * 2654435761u);
  TMemoryStream stream;
  ASSERT_TRUE(StreamWriteDWords(stream, values.data(), static_cast<int64_t>(values.size())));
  ASSERT_EQ(stream.Size(), 40000);
  EXPECT_EQ(stream.Bytes()[4 * 9999], static_cast<uint8_t>(values[9999]));
  stream.SetPosition(0);
  std::vector<uint32_t> back(values.size());
  ASSERT_TRUE(StreamReadDWords(stream, back.data(), static_cast<int64_t>(back.size())));
  EXPECT_EQ(back, values);

  // Cut the stream in the second step: what is missing reads as zero.
  stream.SetSize(30002);
  stream.SetPosition(0);
  std::vector<uint32_t> cut(values.size(), 0xDEADBEEF);
  EXPECT_FALSE(StreamReadDWords(stream, cut.data(), static_cast<int64_t>(cut.size())));
  EXPECT_EQ(cut[7499], values[7499]);
  EXPECT_EQ(cut[7500], values[7500] & 0xFFFF);  // two of its four bytes were there
  EXPECT_EQ(cut[7501], 0u);
  EXPECT_EQ(cut[9999], 0u);
}

TEST(StreamPrimitives, ShortStreamsReadAsZeroAndSaySo) {
  TMemoryStream stream(Bytes({0x01, 0x02, 0x03}));
  int32_t value = 77;
  EXPECT_FALSE(StreamReadInt(stream, value));
  EXPECT_EQ(value, 0x030201);  // the bytes that were there, the rest zero

  TMemoryStream empty;
  EXPECT_EQ(StreamReadInt(empty), 0);
  EXPECT_EQ(StreamReadFloat(empty), 0.0f);
  EXPECT_EQ(StreamReadDouble(empty), 0.0);
  EXPECT_FALSE(StreamReadBool(empty));
  uint8_t raw[4] = {1, 2, 3, 4};
  EXPECT_FALSE(StreamRead(empty, raw, 4));
  EXPECT_EQ(raw[0], 0);
  EXPECT_EQ(raw[3], 0);
  EXPECT_FALSE(StreamRead(empty, raw, -1));
  EXPECT_TRUE(StreamRead(empty, raw, 0));
}

TEST(StreamPrimitives, StringCountsBeyondTheStreamAreRefusedWithALogLine) {
  LogCapture log;
  // Count 10 with only 3 bytes behind it.
  TMemoryStream tooLong(Bytes({10, 0, 0, 0, 'a', 'b', 'c'}));
  AnsiString value = "old";
  EXPECT_FALSE(StreamReadString(tooLong, value));
  EXPECT_EQ(value, "");
  EXPECT_EQ(tooLong.Position(), 4);  // nothing beyond the count is taken

  // A negative count, and one that would ask for 2 GB.
  TMemoryStream negative(Bytes({0xFF, 0xFF, 0xFF, 0xFF, 'x'}));
  EXPECT_EQ(StreamReadString(negative), "");
  EXPECT_EQ(negative.Position(), 4);
  TMemoryStream huge(Bytes({0xFF, 0xFF, 0xFF, 0x7F}));
  EXPECT_EQ(StreamReadString(huge), "");

  EXPECT_EQ(log.texts(), (std::vector<std::string>{"(e) Read error", "(e) Read error", "(e) Read error"}));

  // A count that exactly fits is fine and logs nothing more.
  TMemoryStream exact(Bytes({3, 0, 0, 0, 'x', 'y', 'z'}));
  EXPECT_EQ(StreamReadString(exact), "xyz");
  EXPECT_EQ(log.texts().size(), 3u);

  // A stream that ends inside the count is short, not an error line.
  TMemoryStream cutCount(Bytes({3, 0}));
  EXPECT_FALSE(StreamReadString(cutCount, value));
  EXPECT_EQ(log.texts().size(), 3u);
}

TEST(StreamPrimitives, FitsChecksCountsAgainstWhatRemains) {
  TMemoryStream stream(std::vector<uint8_t>(100));
  stream.SetPosition(20);
  EXPECT_TRUE(StreamFits(stream, 80));
  EXPECT_FALSE(StreamFits(stream, 81));
  EXPECT_TRUE(StreamFits(stream, 20, 4));
  EXPECT_FALSE(StreamFits(stream, 21, 4));
  EXPECT_FALSE(StreamFits(stream, -1));
  EXPECT_TRUE(StreamFits(stream, 0, 4));
  // A count whose byte size would overflow 64 bits is still refused.
  EXPECT_FALSE(StreamFits(stream, INT64_MAX / 2, 8));
  stream.SetPosition(100);
  EXPECT_FALSE(StreamFits(stream, 1));
  EXPECT_TRUE(StreamFits(stream, 0));
}

TEST(StreamPrimitives, NaNAndInfinityRoundTripBitForBit) {
  TMemoryStream stream;
  const float specials[] = {std::numeric_limits<float>::infinity(), -0.0f};
  ASSERT_TRUE(StreamWriteDWords(stream, specials, 2));
  ASSERT_TRUE(StreamWriteDouble(stream, std::numeric_limits<double>::quiet_NaN()));
  EXPECT_EQ(stream.Bytes()[3], 0x7F);
  EXPECT_EQ(stream.Bytes()[7], 0x80);
  stream.SetPosition(0);
  EXPECT_EQ(StreamReadFloat(stream), std::numeric_limits<float>::infinity());
  EXPECT_TRUE(std::signbit(StreamReadFloat(stream)));
  EXPECT_TRUE(std::isnan(StreamReadDouble(stream)));
}
