// A small program that the process tests start: "write <path> <text>" writes
// the text and exits with 3; "args <path> <arguments...>" writes each of the
// arguments it was given followed by a NUL and exits with 4; "hang" never
// ends by itself.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "write") == 0) {
    std::FILE* f = std::fopen(argv[2], "wb");
    if (!f) return 1;
    std::fputs(argv[3], f);
    std::fclose(f);
    return 3;
  }
  if (argc >= 3 && std::strcmp(argv[1], "args") == 0) {
    std::FILE* f = std::fopen(argv[2], "wb");
    if (!f) return 1;
    for (int i = 3; i < argc; ++i) std::fwrite(argv[i], 1, std::strlen(argv[i]) + 1, f);
    std::fclose(f);
    return 4;
  }
  if (argc == 2 && std::strcmp(argv[1], "hang") == 0) {
    for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
  }
  return 2;
}
