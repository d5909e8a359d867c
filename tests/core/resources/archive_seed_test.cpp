// The archive fuzz target's seeds are archives our own writer makes. This
// checks the stored seeds still read back as the trees they were made from;
// with Q_UPDATE_FUZZ_SEEDS=1 in the environment it writes them afresh.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "core/resources/archive_image.h"
#include "core/resources/archive_writer.h"
#include "core/resources/stream.h"
#include "core/resources/virtual_file_system.h"

namespace {
ArchiveNode SeedTree() {
  std::string lines;
  for (int i = 0; i < 300; ++i) lines += "line " + std::to_string(i) + " of a file longer than one block\n";
  return ArchiveNode::Folder(
      "", {ArchiveNode::File("a.txt", "hello", 44000.5),
           ArchiveNode::Folder("d", {ArchiveNode::File("b.txt", "world", 44001.25)}, 44000.0),
           ArchiveNode::File("long.txt", lines, 44002.0)});
}

std::string SeedPath(const std::string& name) { return std::string(Q_SOURCE_DIR) + "/fuzz/corpus/archive/" + name; }
}  // namespace

TEST(ArchiveSeeds, StoredSeedsReadBackAsTheirTree) {
  ArchiveNode tree = SeedTree();
  // The plain seed holds the root and the small files only; the compressed
  // one the whole tree (it packs small).
  ArchiveNode small = tree;
  small.children.pop_back();
  std::vector<uint8_t> plain = BuildArchiveImage(small);
  std::vector<uint8_t> whole = BuildArchiveImage(tree);
  if (std::getenv("Q_UPDATE_FUZZ_SEEDS")) {
    ASSERT_TRUE(WriteWholeFile(SeedPath("plain.qfs"), plain.data(), plain.size()));
    std::vector<uint8_t> packed = CompressArchiveImage(whole, 9);
    ASSERT_TRUE(WriteWholeFile(SeedPath("packed.qfs"), packed.data(), packed.size()));
  }
  std::vector<uint8_t> stored;
  ASSERT_TRUE(ReadWholeFile(SeedPath("plain.qfs"), stored));
  EXPECT_TRUE(stored == plain);
  ASSERT_TRUE(ReadWholeFile(SeedPath("packed.qfs"), stored));
  std::vector<uint8_t> image;
  ASSERT_TRUE(ArchiveImageFromFile(stored, image));
  EXPECT_TRUE(image == whole);
  TFileSystem fs(std::move(image));
  EXPECT_EQ(fs.allFiles(), (std::vector<std::string>{"a.txt", "d\\b.txt", "long.txt"}));
}
