// The version resources of orveline.exe and orveline-report.exe, read back
// from the built files with the platform's version API: both carry the
// project version of the top CMakeLists.txt as file and product version, the
// product name, their own description and the copyright line of LICENSE.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "text/host_path.h"

namespace {

std::string ProgramPath;
std::string ReportPath;
std::string SourceDir;

std::string ReadSourceFile(const std::string& Name) {
  std::ifstream in(SourceDir + "\\" + Name, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// "1.1.2" from `project(Orveline VERSION 1.1.2 ...)`.
std::string ProjectVersion() {
  std::smatch m;
  const std::string text = ReadSourceFile("CMakeLists.txt");
  if (!std::regex_search(text, m, std::regex(R"(project\(Orveline VERSION ([0-9]+)\.([0-9]+)\.([0-9]+))"))) return "";
  return m[1].str() + "." + m[2].str() + "." + m[3].str();
}

// The licence's "Copyright (c) YEAR HOLDER" line.
std::string CopyrightLine() {
  std::smatch m;
  const std::string text = ReadSourceFile("LICENSE");
  return std::regex_search(text, m, std::regex(R"(Copyright [^\r\n]+)")) ? m[0].str() : "";
}

std::wstring Widen(const std::string& Ascii) { return std::wstring(Ascii.begin(), Ascii.end()); }

class TVersionInfo {
 public:
  explicit TVersionInfo(const std::string& Path) {
    const std::wstring path = Widen(Path);
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), nullptr);
    if (size == 0) return;
    data_.resize(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, data_.data())) data_.clear();
  }
  bool Found() const { return !data_.empty(); }
  const VS_FIXEDFILEINFO* Fixed() const {
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data_.data(), L"\\", &value, &length) || length < sizeof(VS_FIXEDFILEINFO)) return nullptr;
    return static_cast<const VS_FIXEDFILEINFO*>(value);
  }
  std::vector<WORD> Translation() const {
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data_.data(), L"\\VarFileInfo\\Translation", &value, &length) || length < 4) return {};
    const WORD* words = static_cast<const WORD*>(value);
    return {words[0], words[1]};
  }
  // A text of the Japanese (code page 932) block, or "(none)".
  std::wstring Text(const wchar_t* Name) const {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring key = std::wstring(L"\\StringFileInfo\\041103A4\\") + Name;
    if (!VerQueryValueW(data_.data(), key.c_str(), &value, &length)) return L"(none)";
    return static_cast<const wchar_t*>(value);
  }

 private:
  std::vector<char> data_;
};

struct TProgramCase {
  const char* Name;
  const std::string* Path;
  const wchar_t* Description;
};

TEST(VersionResourceTest, BothProgramsCarryTheProjectVersion) {
  const std::string version = ProjectVersion();
  const std::string copyright = CopyrightLine();
  ASSERT_FALSE(version.empty()) << "no project version in " << SourceDir << "\\CMakeLists.txt";
  ASSERT_NE(copyright.find("The Orveline authors"), std::string::npos) << copyright;
  unsigned major = 0, minor = 0, patch = 0;
  ASSERT_EQ(std::sscanf(version.c_str(), "%u.%u.%u", &major, &minor, &patch), 3);

  const TProgramCase cases[] = {
      // Orveline 数量一覧（CAD で選んだ図形の長さを CSV に保存）
      {"orveline.exe", &ProgramPath,
       L"Orveline \x6570\x91cf\x4e00\x89a7\xff08"
       L"CAD \x3067\x9078\x3093\x3060\x56f3\x5f62\x306e\x9577\x3055\x3092 CSV \x306b\x4fdd\x5b58\xff09"},
      // Orveline 数量一覧のコマンドラインツール（DXF ファイルから CSV）
      {"orveline-report.exe", &ReportPath,
       L"Orveline \x6570\x91cf\x4e00\x89a7\x306e\x30b3\x30de\x30f3\x30c9\x30e9\x30a4\x30f3\x30c4\x30fc\x30eb\xff08"
       L"DXF \x30d5\x30a1\x30a4\x30eb\x304b\x3089 CSV\xff09"},
  };
  for (const TProgramCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const TVersionInfo info(*c.Path);
    ASSERT_TRUE(info.Found()) << *c.Path;
    const VS_FIXEDFILEINFO* fixed = info.Fixed();
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(minor, major));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(0, patch));
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
    EXPECT_EQ(info.Translation(), (std::vector<WORD>{0x0411, 932}));  // Japanese, code page 932
    EXPECT_EQ(info.Text(L"FileVersion"), Widen(version));
    EXPECT_EQ(info.Text(L"ProductVersion"), Widen(version));
    EXPECT_EQ(info.Text(L"ProductName"), L"Orveline");
    EXPECT_EQ(info.Text(L"FileDescription"), c.Description);
    EXPECT_EQ(info.Text(L"LegalCopyright"), Widen(copyright));
    EXPECT_EQ(info.Text(L"CompanyName"), L"The Orveline authors");
    EXPECT_EQ(info.Text(L"OriginalFilename"), Widen(c.Name));
  }
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const std::size_t equals = arg.find('=');
    if (equals == std::string::npos) continue;
    const std::string name = arg.substr(0, equals + 1);
    const std::string path = HostToWindowsPath(arg.substr(equals + 1));
    if (name == "--program=") ProgramPath = path;
    if (name == "--report=") ReportPath = path;
    if (name == "--source=") SourceDir = path;
  }
  return RUN_ALL_TESTS();
}
