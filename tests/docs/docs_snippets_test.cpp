// The guide in docs/ shows only code the suite runs: every fenced block names
// the sample-game file it is taken from and stands in it word for word; and
// every link of the guide and the README leads to a file of the checkout.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace {
namespace fs = std::filesystem;

std::string WithoutCarriageReturns(std::string text) {
  std::erase(text, '\r');
  return text;
}

std::vector<fs::path> GuidePages() {
  std::vector<fs::path> pages{fs::path(Q_SOURCE_DIR) / "README.md"};
  for (const auto& entry : fs::recursive_directory_iterator(fs::path(Q_SOURCE_DIR) / "docs")) {
    if (entry.path().extension() == ".md") pages.push_back(entry.path());
  }
  return pages;
}

struct Snippet {
  std::string source;  // the file named after the block's language
  std::string text;
  int line;
};

std::vector<Snippet> Snippets(const std::string& page) {
  std::vector<Snippet> snippets;
  std::istringstream in(page);
  std::string line, info, text;
  bool inside = false;
  int number = 0, start = 0;
  while (std::getline(in, line)) {
    ++number;
    if (line.rfind("```", 0) != 0) {
      if (inside) text += line + "\n";
      continue;
    }
    if (!inside) {
      info = line.substr(3);
      text.clear();
      start = number;
    } else {
      const size_t space = info.find(' ');
      snippets.push_back({space == std::string::npos ? "" : info.substr(space + 1), text, start});
    }
    inside = !inside;
  }
  return snippets;
}

TEST(Guide, EveryCodeBlockIsTakenWordForWordFromASampleGameTheSuiteRuns) {
  int checked = 0;
  for (const fs::path& page : GuidePages()) {
    for (const Snippet& snippet : Snippets(TempDir::readFile(page.string()))) {
      const std::string where = page.filename().string() + ":" + std::to_string(snippet.line);
      ASSERT_EQ(snippet.source.rfind("examples/", 0), 0u) << where << ": a code block names its sample file";
      const fs::path source = fs::path(Q_SOURCE_DIR) / snippet.source;
      ASSERT_TRUE(fs::is_regular_file(source)) << where << ": " << snippet.source;
      EXPECT_NE(WithoutCarriageReturns(TempDir::readFile(source.string())).find(snippet.text), std::string::npos)
          << where << ": the block differs from " << snippet.source << ":\n" << snippet.text;
      ++checked;
    }
  }
  EXPECT_GE(checked, 10) << "the walk-through shows the first game's files";
}

TEST(Guide, EveryLinkLeadsToAFileAndTheReadmeLeadsToTheGuide) {
  const std::regex link(R"(\]\(([^)#\s]+)(#[^)]*)?\))");
  for (const fs::path& page : GuidePages()) {
    const std::string text = TempDir::readFile(page.string());
    for (auto it = std::sregex_iterator(text.begin(), text.end(), link); it != std::sregex_iterator(); ++it) {
      const std::string target = (*it)[1];
      if (target.find("://") != std::string::npos) continue;
      EXPECT_TRUE(fs::exists(page.parent_path() / target)) << page.filename() << " links to " << target;
    }
  }
  EXPECT_NE(TempDir::readFile(Q_SOURCE_DIR "/README.md").find("](docs/README.md)"), std::string::npos);
}
}  // namespace
