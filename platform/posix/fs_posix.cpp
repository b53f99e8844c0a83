// POSIX stand-in for the Windows file system calls (fs.h).
// Tested by tests/platform/fs_test.cpp.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <mutex>

#include "platform/fs.h"
#include "platform/posix/posix_util.h"
#include "platform/text.h"

namespace platform {

namespace posix {

namespace {
thread_local std::uint32_t t_last_error = 0;
}

std::string NativePath(std::u16string_view path) { return ToUtf8(path); }
std::u16string FromNative(std::string_view path) { return FromUtf8(path); }

std::uint32_t Win32Error(int e) {
  switch (e) {
    case 0: return err::success;
    case ENOENT: return err::file_not_found;
    case ENOTDIR: return err::path_not_found;
    case EACCES: case EPERM: case EROFS: case EISDIR: return err::access_denied;
    case EEXIST: return err::file_exists;
    case ENOSPC: case EDQUOT: return err::disk_full;
    case ENAMETOOLONG: return err::filename_too_long;
    case EBUSY: case ETXTBSY: return err::sharing_violation;
    case ENOTEMPTY: return err::dir_not_empty;
    case ENOMEM: return err::not_enough_memory;
    case EBADF: return err::invalid_handle;
    case EINVAL: return err::invalid_parameter;
    default: return 31;  // ERROR_GEN_FAILURE
  }
}

void SetLastError(std::uint32_t code) { t_last_error = code; }

bool Fail(int error_number) {
  t_last_error = Win32Error(error_number);
  return false;
}

std::uint32_t LastErrorValue() { return t_last_error; }

}  // namespace posix

using posix::Fail;
using posix::NativePath;

namespace {

constexpr std::uint64_t kUnixEpochAsFileTime = 116444736000000000ULL;

FileTime ToFileTime(const struct timespec& ts) {
  if (ts.tv_sec < -11644473600LL) return 0;
  return static_cast<std::uint64_t>(ts.tv_sec) * 10000000ULL + kUnixEpochAsFileTime +
         static_cast<std::uint64_t>(ts.tv_nsec) / 100;
}

bool IsHiddenName(std::string_view name) {
  return name.size() > 1 && name[0] == '.' && name != "..";
}

std::string_view BaseName(std::string_view path) {
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// Attributes from a stat of the entry (following links) and whether the entry
// itself is a symbolic link. Windows reports the change time nowhere; the
// inode change time stands in for the creation time, which POSIX lacks.
void FillFromStat(const struct stat& st, bool is_link, std::string_view name, FolderEntry& e) {
  e.attributes = 0;
  if (S_ISDIR(st.st_mode)) e.attributes |= attr::directory;
  if (is_link) e.attributes |= attr::reparse_point;
  if (IsHiddenName(name)) e.attributes |= attr::hidden;
  if ((st.st_mode & S_IWUSR) == 0) e.attributes |= attr::read_only;
  if (e.attributes == 0) e.attributes = attr::archive;
  e.size = S_ISDIR(st.st_mode) ? 0 : static_cast<std::uint64_t>(st.st_size);
  e.creation_time = ToFileTime(st.st_ctim);
  e.last_write_time = ToFileTime(st.st_mtim);
  e.last_access_time = ToFileTime(st.st_atim);
  e.details_loaded = true;
}

}  // namespace

struct FolderListing::Impl {
  DIR* dir = nullptr;
};

FolderListing::FolderListing() : impl_(std::make_unique<Impl>()) {}
FolderListing::~FolderListing() { Close(); }

bool FolderListing::Open(std::u16string_view folder) {
  Close();
  std::string path = NativePath(folder);
  if (path.empty()) path = ".";
  impl_->dir = opendir(path.c_str());
  if (!impl_->dir) {
    Fail(errno);
    error_ = LastError();
    return false;
  }
  error_ = 0;
  return true;
}

bool FolderListing::Next(FolderEntry& entry) {
  if (!impl_->dir) return false;
  errno = 0;
  struct dirent* d = readdir(impl_->dir);
  if (!d) {
    if (errno != 0) error_ = posix::Win32Error(errno);
    return false;
  }
  std::string_view name = d->d_name;
  entry = FolderEntry{};
  entry.name = FromUtf8(name);
  switch (d->d_type) {
    case DT_DIR: entry.attributes = attr::directory; break;
    case DT_REG: entry.attributes = attr::archive; break;
    default:
      // A link, or a file system that does not report types: stat decides.
      LoadDetails(entry);
      break;
  }
  if (IsHiddenName(name) && !entry.details_loaded) entry.attributes |= attr::hidden;
  return true;
}

bool FolderListing::LoadDetails(FolderEntry& entry) {
  if (entry.details_loaded) return true;
  if (!impl_->dir) return false;
  int fd = dirfd(impl_->dir);
  std::string name = ToUtf8(entry.name);
  struct stat lst{}, st{};
  if (fstatat(fd, name.c_str(), &lst, AT_SYMLINK_NOFOLLOW) != 0) return Fail(errno);
  bool is_link = S_ISLNK(lst.st_mode);
  if (!is_link || fstatat(fd, name.c_str(), &st, 0) != 0) st = lst;  // dangling link: itself
  FillFromStat(st, is_link, name, entry);
  return true;
}

void FolderListing::Close() {
  if (impl_ && impl_->dir) {
    closedir(impl_->dir);
    impl_->dir = nullptr;
  }
}

bool GetLongPathName(std::u16string_view path, std::u16string& long_path) {
  struct stat st{};
  if (stat(NativePath(path).c_str(), &st) != 0) return Fail(errno);
  long_path.assign(path);
  return true;
}

bool PathExists(std::u16string_view path) {
  struct stat st{};
  return !path.empty() && stat(NativePath(path).c_str(), &st) == 0;
}

bool IsExistingFile(std::u16string_view path) {
  struct stat st{};
  return !path.empty() && stat(NativePath(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool IsExistingFolder(std::u16string_view path) {
  struct stat st{};
  return !path.empty() && stat(NativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool GetFileAttributes(std::u16string_view path, std::uint32_t& attributes) {
  std::string native = NativePath(path);
  struct stat lst{}, st{};
  if (lstat(native.c_str(), &lst) != 0) return Fail(errno);
  bool is_link = S_ISLNK(lst.st_mode);
  if (!is_link || stat(native.c_str(), &st) != 0) st = lst;
  FolderEntry e;
  FillFromStat(st, is_link, BaseName(native), e);
  attributes = e.attributes;
  return true;
}

bool SetFileAttributes(std::u16string_view path, std::uint32_t attributes) {
  std::string native = NativePath(path);
  struct stat st{};
  if (stat(native.c_str(), &st) != 0) return Fail(errno);
  mode_t mode = st.st_mode & 07777;
  mode = (attributes & attr::read_only) ? (mode & ~S_IWUSR) : (mode | S_IWUSR);
  if (chmod(native.c_str(), mode) != 0) return Fail(errno);
  return true;
}

bool GetFileIdentity(std::u16string_view path, FileIdentity& identity) {
  struct stat st{};
  if (path.empty() || lstat(NativePath(path).c_str(), &st) != 0) return Fail(errno);
  identity.volume = static_cast<std::uint64_t>(st.st_dev);
  identity.index = static_cast<std::uint64_t>(st.st_ino);
  identity.link_count = static_cast<std::uint32_t>(st.st_nlink);
  identity.size = static_cast<std::uint64_t>(st.st_size);
  identity.last_write_time = ToFileTime(st.st_mtim);
  identity.is_link = S_ISLNK(st.st_mode);
  identity.is_regular = S_ISREG(st.st_mode);
  return true;
}

std::uint32_t LastError() { return posix::LastErrorValue(); }

// ---- File -------------------------------------------------------------------

File::File() : handle_(-1) {}
File::~File() { Close(); }
File::File(File&& other) noexcept : handle_(other.handle_), error_(other.error_) {
  other.handle_ = -1;
}
File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = other.handle_;
    error_ = other.error_;
    other.handle_ = -1;
  }
  return *this;
}

bool File::Open(std::u16string_view path, Mode mode) {
  Close();
  int flags = O_CLOEXEC;
  switch (mode) {
    case Mode::kRead: flags |= O_RDONLY; break;
    case Mode::kWriteCreate: flags |= O_WRONLY | O_CREAT | O_TRUNC; break;
    case Mode::kWriteNew: flags |= O_WRONLY | O_CREAT | O_EXCL; break;
  }
  int fd = ::open(NativePath(path).c_str(), flags, 0666);
  if (fd < 0) {
    error_ = posix::Win32Error(errno);
    posix::SetLastError(error_);
    return false;
  }
  // CreateFileW refuses to open a folder as a file; so does this stand-in.
  struct stat st{};
  if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    error_ = err::access_denied;
    posix::SetLastError(error_);
    return false;
  }
  handle_ = fd;
  error_ = 0;
  return true;
}

bool File::IsOpen() const { return handle_ >= 0; }

bool File::Read(void* buffer, std::size_t size, std::size_t& read) {
  read = 0;
  while (true) {
    ssize_t n = ::read(static_cast<int>(handle_), buffer, size);
    if (n >= 0) {
      read = static_cast<std::size_t>(n);
      return true;
    }
    if (errno != EINTR) {
      error_ = posix::Win32Error(errno);
      return false;
    }
  }
}

bool File::Write(const void* data, std::size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = ::write(static_cast<int>(handle_), p, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      error_ = posix::Win32Error(errno);
      return false;
    }
    p += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool File::Seek(std::uint64_t offset) {
  if (::lseek(static_cast<int>(handle_), static_cast<off_t>(offset), SEEK_SET) < 0) {
    error_ = posix::Win32Error(errno);
    return false;
  }
  return true;
}

bool File::Flush() {
  if (::fsync(static_cast<int>(handle_)) != 0) {
    error_ = posix::Win32Error(errno);
    return false;
  }
  return true;
}

bool File::GetSize(std::uint64_t& size) {
  struct stat st{};
  if (fstat(static_cast<int>(handle_), &st) != 0) {
    error_ = posix::Win32Error(errno);
    return false;
  }
  size = static_cast<std::uint64_t>(st.st_size);
  return true;
}

bool File::Close() {
  if (handle_ < 0) return true;
  int rc = ::close(static_cast<int>(handle_));
  handle_ = -1;
  if (rc != 0 && errno != EINTR) {
    error_ = posix::Win32Error(errno);
    return false;
  }
  return true;
}

// ---- Names and folders -----------------------------------------------------------

bool DeleteFile(std::u16string_view path) {
  std::string native = NativePath(path);
  struct stat st{};
  if (lstat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return Fail(EACCES);
  // DeleteFileW refuses a read-only file; unlink would not care.
  if (lstat(native.c_str(), &st) == 0 && !S_ISLNK(st.st_mode) && (st.st_mode & S_IWUSR) == 0)
    return Fail(EACCES);
  if (::unlink(native.c_str()) != 0) return Fail(errno);
  return true;
}

bool RemoveFolder(std::u16string_view path) {
  if (::rmdir(NativePath(path).c_str()) != 0) return Fail(errno);
  return true;
}

bool MoveFile(std::u16string_view from, std::u16string_view to) {
  std::string src = NativePath(from), dst = NativePath(to);
  // MoveFileExW without MOVEFILE_REPLACE_EXISTING fails on an existing target;
  // link + unlink gives that without a window in which the target is replaced.
  if (::link(src.c_str(), dst.c_str()) == 0) {
    ::unlink(src.c_str());
    return true;
  }
  if (errno == EEXIST) return Fail(EEXIST);
  struct stat st{};
  if (::lstat(dst.c_str(), &st) == 0) return Fail(EEXIST);
  if (::rename(src.c_str(), dst.c_str()) != 0) return Fail(errno);
  return true;
}

bool CreateFolderTree(std::u16string_view path) {
  std::string native = NativePath(path);
  for (std::size_t pos = 1; pos <= native.size(); ++pos) {
    if (pos != native.size() && native[pos] != '/') continue;
    std::string part = native.substr(0, pos);
    if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return Fail(errno);
  }
  return IsExistingFolder(path) || Fail(ENOTDIR);
}

namespace {
bool DeleteTree(const std::string& path) {
  struct stat st{};
  if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT;
  if (!S_ISDIR(st.st_mode)) return ::unlink(path.c_str()) == 0;
  ::chmod(path.c_str(), (st.st_mode & 07777) | S_IRWXU);
  DIR* dir = opendir(path.c_str());
  bool ok = dir != nullptr;
  while (dir) {
    struct dirent* d = readdir(dir);
    if (!d) break;
    std::string_view name = d->d_name;
    if (name == "." || name == "..") continue;
    ok = DeleteTree(path + "/" + std::string(name)) && ok;
  }
  if (dir) closedir(dir);
  return ::rmdir(path.c_str()) == 0 && ok;
}
}  // namespace

bool DeleteFolderTree(std::u16string_view path) {
  if (path.empty()) return false;
  return DeleteTree(NativePath(path));
}

bool CreateTempFileName(std::u16string_view folder, std::u16string_view prefix,
                        std::u16string& path) {
  // As GetTempFileNameW: up to three characters of the prefix, four hex
  // digits, ".tmp"; the file is created so that the name stays taken.
  static std::mutex counter_lock;
  static unsigned counter = static_cast<unsigned>(::getpid() ^ ::time(nullptr));
  std::u16string base(folder);
  if (!base.empty() && base.back() != u'/') base.push_back(u'/');
  base.append(prefix.substr(0, 3));
  for (int attempt = 0; attempt < 0x10000; ++attempt) {
    unsigned value;
    {
      std::lock_guard<std::mutex> guard(counter_lock);
      value = (++counter) & 0xFFFF;
    }
    if (value == 0) continue;
    char digits[8];
    std::snprintf(digits, sizeof digits, "%04X", value);
    std::u16string candidate = base + FromUtf8(digits) + u".tmp";
    int fd = ::open(NativePath(candidate).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      ::close(fd);
      path = std::move(candidate);
      return true;
    }
    if (errno != EEXIST) return Fail(errno);
  }
  return Fail(EEXIST);
}

std::uint32_t ReplaceFile(std::u16string_view target, std::u16string_view replacement,
                          std::u16string_view backup) {
  std::string dst = NativePath(target), src = NativePath(replacement);
  struct stat target_st{}, src_st{};
  if (::stat(dst.c_str(), &target_st) != 0) return posix::Win32Error(errno);
  if (::stat(src.c_str(), &src_st) != 0) return posix::Win32Error(errno);
  // ReplaceFileW refuses a read-only target with access denied.
  if ((target_st.st_mode & S_IWUSR) == 0) return err::access_denied;
  // The new content keeps the target's permission bits, as Windows keeps the
  // target's attributes.
  ::chmod(src.c_str(), target_st.st_mode & 07777);
  if (backup.empty()) {
    // rename(2) swaps atomically: the name holds the old or the new content.
    if (::rename(src.c_str(), dst.c_str()) != 0) return err::unable_to_move_replacement;
    return err::success;
  }
  std::string bak = NativePath(backup);
  if (::rename(dst.c_str(), bak.c_str()) != 0) return err::unable_to_remove_replaced;
  if (::rename(src.c_str(), dst.c_str()) != 0) {
    if (::rename(bak.c_str(), dst.c_str()) == 0) return err::unable_to_move_replacement;
    return err::unable_to_move_replacement_2;
  }
  return err::success;
}

// ---- Well-known folders ------------------------------------------------------------

std::u16string ModuleFolder() {
  char buffer[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return u".";
  std::string path(buffer, static_cast<std::size_t>(n));
  std::size_t slash = path.rfind('/');
  return FromUtf8(slash == 0 ? "/" : path.substr(0, slash));
}

std::u16string SystemTempPath() {
  // A private folder per user: a fixed shared name under /tmp could be
  // pre-created by someone else.
  static std::mutex lock;
  static std::string cached;
  std::lock_guard<std::mutex> guard(lock);
  if (!cached.empty()) return FromUtf8(cached);
  const char* base = std::getenv("TMPDIR");
  std::string root = (base && *base) ? base : "/tmp";
  while (root.size() > 1 && root.back() == '/') root.pop_back();
  std::string dir = root + "/varnel-" + std::to_string(::getuid());
  ::mkdir(dir.c_str(), 0700);
  struct stat st{};
  bool safe = ::lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
              (st.st_mode & 077) == 0;
  if (!safe) {
    std::string templ = dir + "-XXXXXX";
    if (::mkdtemp(templ.data())) dir = templ;
    else dir = root;
  }
  cached = dir;
  return FromUtf8(cached);
}

std::u16string AppDataFolder() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && *xdg == '/') return FromUtf8(xdg);
  const char* home = std::getenv("HOME");
  if (home && *home) return FromUtf8(std::string(home) + "/.config");
  return {};
}

}  // namespace platform
