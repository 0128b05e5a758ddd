// Helpers for the tests of the DXF reader and the report: drawings written to
// a temporary folder, read back as bytes.
#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <random>
#include <string>
#include <string_view>

namespace testing_files {

// Joins group codes and values, one a line, each line ended by CR LF.
inline std::string Pairs(std::initializer_list<std::string_view> Lines) {
  std::string text;
  for (std::string_view line : Lines) {
    text.append(line);
    text.append("\r\n");
  }
  return text;
}

// A folder of its own under the system's temporary folder, removed at the end.
class TTempFolder {
 public:
  // Made in one step under a random name: a folder that another test
  // program made first is never shared, it only makes this one draw again.
  TTempFolder() {
    const auto base = std::filesystem::temp_directory_path();
    std::random_device random;
    for (;;) {
      path_ = base / ("orveline-test-" + std::to_string(random()) + "-" + std::to_string(random()));
      if (std::filesystem::create_directory(path_)) break;
    }
  }
  ~TTempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;

  // Plain ASCII names, so the narrow path is the same bytes on every system.
  std::string File(const std::string& Name) const { return (path_ / Name).string(); }

  std::string Write(const std::string& Name, std::string_view Bytes) const {
    const std::string path = File(Name);
    std::ofstream out(path, std::ios::binary);
    out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
    return path;
  }

 private:
  std::filesystem::path path_;
};

inline std::string ReadBytes(const std::string& Path) {
  std::ifstream in(Path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace testing_files
