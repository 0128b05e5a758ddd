// An owner of a C stdio file, closed when the owner goes.
#pragma once

#include <cstdio>
#include <memory>

struct TFileCloser {
  void operator()(std::FILE* File) const { std::fclose(File); }
};
using TFilePtr = std::unique_ptr<std::FILE, TFileCloser>;
