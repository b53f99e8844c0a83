// varnel-cli's own temporary folder. Tested by tests/cli/temp_folder_test.cpp.
#include "cli/temp_folder.h"

#include <cstdio>
#include <random>

#include "platform/fs.h"
#include "platform/text.h"

namespace cli {
namespace {

std::u16string RandomName(std::mt19937_64& random) {
  char name[40];
  std::snprintf(name, sizeof name, "varnel-cli-%016llx", static_cast<unsigned long long>(random()));
  return platform::FromUtf8(name);
}

}  // namespace

CTempFolder::~CTempFolder() {
  if (!path_.empty()) platform::DeleteFolderTree(path_);
}

bool CTempFolder::Create() {
  std::u16string base = platform::SystemTempPath();
  if (base.empty()) return false;
  std::random_device seed;
  std::mt19937_64 random((std::uint64_t{seed()} << 32) ^ seed());
  // A name that exists belongs to another process: never reuse it, since its
  // contents would be deleted at our exit.
  for (int attempt = 0; attempt < 16; ++attempt) {
    std::u16string candidate = base + platform::kPathSeparator + RandomName(random);
    if (platform::PathExists(candidate)) continue;
    if (!platform::CreateFolderTree(candidate)) return false;
    path_ = std::move(candidate);
    return true;
  }
  return false;
}

}  // namespace cli
