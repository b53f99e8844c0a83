// A temporary folder of this process's own under the system's temporary path,
// so that cleaning up never touches files a running Varnel is using.
// Tested by tests/cli/temp_folder_test.cpp.
#pragma once
#include <string>

namespace cli {

class CTempFolder {
 public:
  CTempFolder() = default;
  // Deletes the folder with everything in it.
  ~CTempFolder();
  CTempFolder(const CTempFolder&) = delete;
  CTempFolder& operator=(const CTempFolder&) = delete;

  // Creates a new, uniquely named folder; false when none could be made.
  [[nodiscard]] bool Create();
  const std::u16string& path() const { return path_; }

 private:
  std::u16string path_;
};

}  // namespace cli
