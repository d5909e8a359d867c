#pragma once
// A fresh folder under the system's temporary folder for one test, removed
// with everything in it (read-only entries included) when the test ends.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

class TestFolder {
 public:
  TestFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qres-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data())) std::abort();
    path_ = buffer.data();
  }
  ~TestFolder() {
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
      if (!it->is_symlink()) chmod(it->path().c_str(), 0755);
    }
    chmod(path_.c_str(), 0755);
    std::filesystem::remove_all(path_, ec);
  }
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  // The folder's path, ending in "/".
  std::string path() const { return path_ + "/"; }
  std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }

  // Writes a file (folders made as needed).
  void write(const std::string& relative, const std::string& bytes) const {
    std::filesystem::path file = std::filesystem::path(path_) / relative;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  void makeFolder(const std::string& relative) const {
    std::filesystem::create_directories(std::filesystem::path(path_) / relative);
  }
  std::string read(const std::string& relative) const {
    std::ifstream in(std::filesystem::path(path_) / relative, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  bool exists(const std::string& relative) const {
    return std::filesystem::exists(std::filesystem::path(path_) / relative);
  }
  // Sets a file's modification time (seconds since 1970, with a fraction).
  void setTime(const std::string& relative, double unixSeconds) const {
    timespec times[2];
    times[0].tv_sec = times[1].tv_sec = static_cast<time_t>(unixSeconds);
    times[0].tv_nsec = times[1].tv_nsec =
        static_cast<long>((unixSeconds - static_cast<double>(times[0].tv_sec)) * 1e9);
    utimensat(AT_FDCWD, (path_ + "/" + relative).c_str(), times, 0);
  }

 private:
  std::string path_;
};
