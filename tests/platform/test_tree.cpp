// Temporary trees for file tests, built only with the platform layer so that
// they work the same natively and under Wine.
#include "test_tree.h"

#include <atomic>
#include <stdexcept>

#include "platform/fs.h"
#include "platform/text.h"

namespace testing_support {

namespace {
std::atomic<int> g_counter{0};
}

TempTree::TempTree() {
  std::u16string base = platform::SystemTempPath();
  for (int attempt = 0; attempt < 1000; ++attempt) {
    std::u16string candidate;
    if (!platform::CreateTempFileName(base, u"vnt", candidate))
      throw std::runtime_error("cannot create a temporary name");
    // The name was created as a file; the tree is a folder beside it.
    std::u16string folder = candidate + u".d" + platform::FromUtf8(std::to_string(++g_counter));
    (void)platform::DeleteFile(candidate);
    if (!platform::PathExists(folder) && platform::CreateFolderTree(folder)) {
      root_ = folder;
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary tree");
}

TempTree::~TempTree() { platform::DeleteFolderTree(root_); }

std::u16string TempTree::Path(std::u16string_view relative) const {
  std::u16string out = root_;
  if (relative.empty()) return out;
  out.push_back(platform::kPathSeparator);
  for (char16_t c : relative) out.push_back(c == u'/' ? platform::kPathSeparator : c);
  return out;
}

std::u16string TempTree::Write(std::u16string_view relative, std::string_view bytes) {
  std::u16string path = Path(relative);
  std::size_t cut = path.rfind(platform::kPathSeparator);
  if (cut != std::u16string::npos && cut > root_.size())
    (void)platform::CreateFolderTree(path.substr(0, cut));
  platform::File f;
  if (!f.Open(path, platform::File::Mode::kWriteCreate) || !f.Write(bytes.data(), bytes.size()) ||
      !f.Close())
    throw std::runtime_error("cannot write a test file");
  return path;
}

std::u16string TempTree::Folder(std::u16string_view relative) {
  std::u16string path = Path(relative);
  if (!platform::CreateFolderTree(path)) throw std::runtime_error("cannot create a folder");
  return path;
}

std::string TempTree::Read(std::u16string_view relative) const { return ReadBytes(Path(relative)); }

std::string ReadBytes(std::u16string_view path) {
  platform::File f;
  if (!f.Open(path, platform::File::Mode::kRead)) return "<missing>";
  std::string out;
  char buffer[4096];
  std::size_t n = 0;
  while (f.Read(buffer, sizeof buffer, n) && n > 0) out.append(buffer, n);
  return out;
}

}  // namespace testing_support
