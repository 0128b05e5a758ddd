// orveline-gen ENTITIES OUT.dxf [SEED]: writes a realistic drawing.
#include <cstdio>
#include <cstdlib>

#include "bench/drawing_generator.h"

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    std::fputs("Usage: orveline-gen ENTITIES OUT.dxf [SEED]\n", stderr);
    return 2;
  }
  TDrawingOptions options;
  options.Entities = std::atoll(argv[1]);
  if (argc == 4) options.Seed = std::strtoull(argv[3], nullptr, 10);
  std::FILE* file = std::fopen(argv[2], "wb");
  if (!file) {
    std::perror(argv[2]);
    return 1;
  }
  const bool ok = WriteDrawing(file, options);
  if (std::fclose(file) != 0 || !ok) {
    std::perror(argv[2]);
    return 1;
  }
  return 0;
}
