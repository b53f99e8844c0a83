// A temporary folder tree for tests that touch files; removed on destruction.
#pragma once
#include <string>
#include <string_view>

namespace testing_support {

class TempTree {
 public:
  TempTree();
  ~TempTree();
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  const std::u16string& root() const { return root_; }
  // root + separator + relative (relative uses "/" and is converted).
  std::u16string Path(std::u16string_view relative) const;
  // Writes a file with the given bytes, creating parent folders.
  std::u16string Write(std::u16string_view relative, std::string_view bytes);
  std::u16string Folder(std::u16string_view relative);
  std::string Read(std::u16string_view relative) const;

 private:
  std::u16string root_;
};

std::string ReadBytes(std::u16string_view path);

}  // namespace testing_support
