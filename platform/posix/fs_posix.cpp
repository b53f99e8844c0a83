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

namespace {

// The length of the well-formed UTF-8 sequence at the start of `p` (1 to 4)
// with its code point, or 0 when the bytes there do not begin one: overlong
// forms, encoded surrogates (CESU-style ED A0 80...), values past U+10FFFF,
// stray continuation bytes and cut sequences are all ill-formed.
std::size_t DecodeSequence(const unsigned char* p, std::size_t n, char32_t& cp) {
  unsigned char b = p[0];
  if (b < 0x80) {
    cp = b;
    return 1;
  }
  std::size_t need = 0;
  char32_t min = 0;
  if (b >= 0xC2 && b <= 0xDF) need = 1, cp = b & 0x1F, min = 0x80;
  else if (b >= 0xE0 && b <= 0xEF) need = 2, cp = b & 0x0F, min = 0x800;
  else if (b >= 0xF0 && b <= 0xF4) need = 3, cp = b & 0x07, min = 0x10000;
  else return 0;
  if (n < need + 1) return 0;
  for (std::size_t k = 1; k <= need; ++k) {
    if ((p[k] & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (p[k] & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return need + 1;
}

}  // namespace

// Linux names are bytes, not always UTF-8. A byte that does not belong to a
// well-formed sequence becomes the lone surrogate U+DC00 + byte (0x80..0xFF),
// which no well-formed UTF-8 decodes to, so every name survives the trip to
// UTF-16 and back.
std::u16string FromNative(std::string_view path) {
  std::u16string out;
  out.reserve(path.size());
  const auto* p = reinterpret_cast<const unsigned char*>(path.data());
  for (std::size_t i = 0; i < path.size();) {
    char32_t cp = 0;
    std::size_t length = DecodeSequence(p + i, path.size() - i, cp);
    if (length == 0) {
      out.push_back(static_cast<char16_t>(0xDC00 + p[i]));
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i += length;
  }
  return out;
}

bool ToNative(std::u16string_view path, std::string& out) {
  // Most paths are ASCII up to their end or far into it: that part is
  // narrowed in one go.
  std::size_t i = 0;
  while (i < path.size() && path[i] != 0 && path[i] < 0x80) ++i;
  out.resize(i);
  for (std::size_t k = 0; k < i; ++k) out[k] = static_cast<char>(path[k]);
  out.reserve(path.size());
  bool escaped = false;
  for (; i < path.size(); ++i) {
    char32_t c = path[i];
    if (c == 0) return false;  // the system would cut the name there
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < path.size() && path[i + 1] >= 0xDC00 &&
        path[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (path[++i] - 0xDC00);
    } else if (c >= 0xDC80 && c <= 0xDCFF) {
      out.push_back(static_cast<char>(c - 0xDC00));
      escaped = true;
      continue;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      return false;  // no name's bytes decode to this lone surrogate
    }
    AppendUtf8(out, c);
  }
  // Escaped bytes that form a well-formed sequence with their neighbours
  // would name the file whose name decodes to that sequence: two names for
  // one file. Only names that come back unchanged are accepted.
  return !escaped || FromNative(out) == path;
}

std::string NativePath(std::u16string_view path) {
  std::string out;
  if (!ToNative(path, out)) out.clear();
  return out;
}

bool Native(std::u16string_view path, std::string& out) {
  if (ToNative(path, out)) return true;
  t_last_error = err::invalid_name;
  return false;
}

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
    case ELOOP: return err::cant_resolve_filename;
    case ENXIO: return err::bad_file_type;
    case EXDEV: return 17;     // ERROR_NOT_SAME_DEVICE
    case EMLINK: return 1142;  // ERROR_TOO_MANY_LINKS
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
using posix::Native;
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
  else if (!S_ISREG(st.st_mode)) e.attributes |= attr::device;
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

void FillIdentity(const struct stat& st, FileIdentity& identity) {
  identity.volume = static_cast<std::uint64_t>(st.st_dev);
  identity.index = static_cast<std::uint64_t>(st.st_ino);
  identity.link_count = static_cast<std::uint32_t>(st.st_nlink);
  identity.size = static_cast<std::uint64_t>(st.st_size);
  identity.last_write_time = ToFileTime(st.st_mtim);
  identity.is_link = S_ISLNK(st.st_mode);
  identity.is_regular = S_ISREG(st.st_mode);
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// What an open file descriptor is, as File::Open judges it.
std::uint32_t CheckOpenedType(int fd) {
  struct stat st{};
  if (::fstat(fd, &st) != 0) return posix::Win32Error(errno);
  // CreateFileW refuses to open a folder as a file; so does this stand-in.
  if (S_ISDIR(st.st_mode)) return err::access_denied;
  if (!S_ISREG(st.st_mode)) return err::bad_file_type;
  return err::success;
}

}  // namespace

struct FolderListing::Impl {
  DIR* dir = nullptr;
};

FolderListing::FolderListing() : impl_(std::make_unique<Impl>()) {}
FolderListing::~FolderListing() { Close(); }

bool FolderListing::Open(std::u16string_view folder, Follow follow) {
  Close();
  std::string path = ".";
  if (!folder.empty() && !Native(folder, path)) {
    error_ = LastError();
    return false;
  }
  // The folder is opened once and read through that descriptor, so what is
  // listed is what GetIdentity describes even if the name changes meanwhile.
  int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK;
  if (follow == Follow::kNoLinks) flags |= O_NOFOLLOW;
  int fd = ::open(path.c_str(), flags);
  if (fd < 0) {
    int e = errno;
    // O_DIRECTORY | O_NOFOLLOW on a link says "not a directory", not ELOOP.
    struct stat st{};
    if (e == ENOTDIR && follow == Follow::kNoLinks && ::lstat(path.c_str(), &st) == 0 &&
        S_ISLNK(st.st_mode))
      e = ELOOP;
    Fail(e);
    error_ = LastError();
    return false;
  }
  impl_->dir = ::fdopendir(fd);
  if (!impl_->dir) {
    Fail(errno);
    ::close(fd);
    error_ = LastError();
    return false;
  }
  error_ = 0;
  return true;
}

bool FolderListing::GetIdentity(FileIdentity& identity) {
  struct stat st{};
  if (!impl_->dir) return Fail(EBADF);
  if (::fstat(dirfd(impl_->dir), &st) != 0) return Fail(errno);
  FillIdentity(st, identity);
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
  entry.name = posix::FromNative(name);
  switch (d->d_type) {
    case DT_DIR: entry.attributes = attr::directory; break;
    case DT_REG: entry.attributes = attr::archive; break;
    case DT_FIFO: case DT_CHR: case DT_BLK: case DT_SOCK: entry.attributes = attr::device; break;
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
  std::string name;
  if (!Native(entry.name, name)) return false;
  struct stat lst{}, st{};
  if (fstatat(fd, name.c_str(), &lst, AT_SYMLINK_NOFOLLOW) != 0) return Fail(errno);
  bool is_link = S_ISLNK(lst.st_mode);
  if (!is_link || fstatat(fd, name.c_str(), &st, 0) != 0) st = lst;  // dangling link: itself
  FillFromStat(st, is_link, name, entry);
  return true;
}

bool FolderListing::LoadDetailsByPath(std::u16string_view path, FolderEntry& entry) {
  if (entry.details_loaded) return true;
  std::string native;
  if (!Native(path, native)) return false;
  struct stat lst {
  }, st{};
  if (fstatat(AT_FDCWD, native.c_str(), &lst, AT_SYMLINK_NOFOLLOW) != 0) return posix::Fail(errno);
  bool is_link = S_ISLNK(lst.st_mode);
  if (!is_link || fstatat(AT_FDCWD, native.c_str(), &st, 0) != 0)
    st = lst;  // dangling link: itself
  std::size_t slash = native.rfind('/');
  FillFromStat(st, is_link,
               std::string_view(native).substr(slash == std::string::npos ? 0 : slash + 1), entry);
  return true;
}

void FolderListing::Close() {
  if (impl_ && impl_->dir) {
    closedir(impl_->dir);
    impl_->dir = nullptr;
  }
}

bool GetLongPathName(std::u16string_view path, std::u16string& long_path) {
  std::string native;
  if (!Native(path, native)) return false;
  struct stat st{};
  if (stat(native.c_str(), &st) != 0) return Fail(errno);
  long_path.assign(path);
  return true;
}

bool PathExists(std::u16string_view path) {
  struct stat st{};
  std::string native = NativePath(path);
  return !native.empty() && stat(native.c_str(), &st) == 0;
}

bool IsExistingFile(std::u16string_view path) {
  struct stat st{};
  std::string native = NativePath(path);
  return !native.empty() && stat(native.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool IsExistingFolder(std::u16string_view path) {
  struct stat st{};
  std::string native = NativePath(path);
  return !native.empty() && stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool GetFileAttributes(std::u16string_view path, std::uint32_t& attributes) {
  std::string native;
  if (!Native(path, native)) return false;
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
  std::string native;
  if (!Native(path, native)) return false;
  struct stat st{};
  if (stat(native.c_str(), &st) != 0) return Fail(errno);
  mode_t mode = st.st_mode & 07777;
  mode = (attributes & attr::read_only) ? (mode & ~S_IWUSR) : (mode | S_IWUSR);
  if (chmod(native.c_str(), mode) != 0) return Fail(errno);
  return true;
}

bool GetFileIdentity(std::u16string_view path, FileIdentity& identity) {
  std::string native;
  if (!Native(path, native)) return false;
  struct stat st{};
  if (native.empty() || lstat(native.c_str(), &st) != 0) return Fail(errno == 0 ? ENOENT : errno);
  FillIdentity(st, identity);
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

namespace {
int OpenFlags(File::Mode mode) {
  // O_NONBLOCK: opening a pipe without a writer, or some devices, would wait
  // for ever; such files are refused right after the open anyway.
  int flags = O_CLOEXEC | O_NONBLOCK;
  switch (mode) {
    case File::Mode::kRead: return flags | O_RDONLY;
    case File::Mode::kWriteCreate: return flags | O_WRONLY | O_CREAT | O_TRUNC;
    case File::Mode::kWriteNew:
    case File::Mode::kWriteTemporary: return flags | O_WRONLY | O_CREAT | O_EXCL;
  }
  return flags;
}
}  // namespace

bool File::Open(std::u16string_view path, Mode mode) {
  Close();
  std::string native;
  if (!Native(path, native)) {
    error_ = LastError();
    return false;
  }
  // A temporary file holds a copy of a file that may be private: it stays
  // private until SetMetadata gives it that file's mode.
  mode_t permissions = mode == Mode::kWriteTemporary ? 0600 : 0666;
  int fd = ::open(native.c_str(), OpenFlags(mode), permissions);
  if (fd < 0) {
    error_ = posix::Win32Error(errno);
    posix::SetLastError(error_);
    return false;
  }
  // O_NONBLOCK stays set: only regular files get past this check, and their
  // reads and writes do not heed it (clearing it cost two calls per file).
  std::uint32_t refused = CheckOpenedType(fd);
  if (refused != 0) {
    ::close(fd);
    error_ = refused;
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

bool File::GetIdentity(FileIdentity& identity) {
  struct stat st{};
  if (::fstat(static_cast<int>(handle_), &st) != 0) {
    error_ = posix::Win32Error(errno);
    return false;
  }
  FillIdentity(st, identity);
  return true;
}

bool File::GetMetadata(FileMetadata& metadata) {
  struct stat st{};
  if (::fstat(static_cast<int>(handle_), &st) != 0) {
    error_ = posix::Win32Error(errno);
    return false;
  }
  metadata.owner = st.st_uid;
  metadata.group = st.st_gid;
  metadata.mode = st.st_mode & 07777;
  metadata.attributes = (st.st_mode & S_IWUSR) ? 0 : attr::read_only;
  metadata.creation_time = ToFileTime(st.st_ctim);
  return true;
}

bool File::SetMetadata(const FileMetadata& metadata) {
  const int fd = static_cast<int>(handle_);
  struct stat st{};
  if (::fstat(fd, &st) != 0) {
    error_ = posix::Win32Error(errno);
    return false;
  }
  // Only what differs is changed: a user may give a file to no one else, and
  // may pass it only to a group of their own.
  uid_t owner = st.st_uid == metadata.owner ? static_cast<uid_t>(-1) : metadata.owner;
  gid_t group = st.st_gid == metadata.group ? static_cast<gid_t>(-1) : metadata.group;
  bool ok = (owner == static_cast<uid_t>(-1) && group == static_cast<gid_t>(-1)) ||
            ::fchown(fd, owner, group) == 0;
  // After the owner: a change of owner clears the set-user and set-group bits.
  ok = ok && ::fchmod(fd, metadata.mode & 07777) == 0;
  if (!ok) error_ = posix::Win32Error(errno);
  return ok;
}

std::uint32_t File::MoveOver(std::u16string_view own_path, std::u16string_view target) {
  std::string from, to;
  if (!Native(own_path, from) || !Native(target, to)) return error_ = err::invalid_name;
  // Windows refuses to replace a read-only file; so does this stand-in, so
  // that callers handle the attribute the same way on both.
  struct stat st{};
  if (::lstat(to.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & S_IWUSR) == 0)
    return error_ = err::access_denied;
  // rename(2) replaces the name in one step: it names the old or the new file.
  // The data was flushed before, so whichever name a power loss leaves
  // holds whole content. The folder is not flushed per file, as Windows does
  // not flush it for a rename either: a flush per rename forced a journal
  // commit each time and nearly doubled a replace run on ext4.
  if (::rename(from.c_str(), to.c_str()) != 0) return error_ = posix::Win32Error(errno);
  return err::success;
}

bool File::DeleteAndClose(std::u16string_view own_path) {
  bool gone = true;
  std::string native;
  struct stat mine{}, named{};
  if (IsOpen() && Native(own_path, native) && ::fstat(static_cast<int>(handle_), &mine) == 0 &&
      ::lstat(native.c_str(), &named) == 0 && SameFile(mine, named))
    gone = ::unlink(native.c_str()) == 0;
  if (!gone) error_ = posix::Win32Error(errno);
  Close();
  return gone;
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
  std::string native;
  if (!Native(path, native)) return false;
  struct stat st{};
  if (lstat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return Fail(EACCES);
  // DeleteFileW refuses a read-only file; unlink would not care.
  if (lstat(native.c_str(), &st) == 0 && !S_ISLNK(st.st_mode) && (st.st_mode & S_IWUSR) == 0)
    return Fail(EACCES);
  if (::unlink(native.c_str()) != 0) return Fail(errno);
  return true;
}

bool RemoveFolder(std::u16string_view path) {
  std::string native;
  if (!Native(path, native)) return false;
  if (::rmdir(native.c_str()) != 0) return Fail(errno);
  return true;
}

bool MoveFile(std::u16string_view from, std::u16string_view to) {
  std::string src, dst;
  if (!Native(from, src) || !Native(to, dst)) return false;
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
  std::string native;
  if (!Native(path, native)) return false;
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
  std::string native;
  if (path.empty() || !Native(path, native)) return false;
  return DeleteTree(native);
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
    std::string native;
    if (!Native(candidate, native)) return false;
    int fd = ::open(native.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      ::close(fd);
      path = std::move(candidate);
      return true;
    }
    if (errno != EEXIST) return Fail(errno);
  }
  return Fail(EEXIST);
}

namespace {

// A copy of `from` (a regular file) made as the new file `to`, with its mode,
// flushed; removed again when anything fails.
bool CopyForBackup(const std::string& from, const std::string& to) {
  int in = ::open(from.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (in < 0) return Fail(errno);
  struct stat st{};
  if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
    int e = S_ISREG(st.st_mode) ? errno : ENXIO;
    ::close(in);
    return Fail(e);
  }
  int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (out < 0) {
    int e = errno;
    ::close(in);
    return Fail(e);
  }
  bool ok = true;
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(in, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = n == 0;
      break;
    }
    for (ssize_t done = 0; ok && done < n;) {
      ssize_t w = ::write(out, buffer + done, static_cast<std::size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      ok = w > 0;
      done += ok ? w : 0;
    }
    if (!ok) break;
  }
  if (ok) {
    // Where the owner cannot be kept the copy stays the backup-maker's.
    (void)!::fchown(out, st.st_uid, st.st_gid);
    ok = ::fchmod(out, st.st_mode & 07777) == 0 && ::fsync(out) == 0;
  }
  int e = errno;
  ok = ::close(out) == 0 && ok;
  ::close(in);
  if (ok) return true;
  ::unlink(to.c_str());
  return Fail(e != 0 ? e : EIO);
}

}  // namespace

bool MakeBackup(std::u16string_view target, std::u16string_view backup) {
  std::string from, to;
  if (!Native(target, from) || !Native(backup, to)) return false;
  if (::link(from.c_str(), to.c_str()) == 0) return true;
  // Some file systems have no hard links (FAT, some network shares), and
  // protected_hardlinks refuses a link to a file of another user: a copy
  // keeps the content there.
  if (errno == EEXIST) return Fail(EEXIST);
  return CopyForBackup(from, to);
}

std::uint32_t ReplaceFile(std::u16string_view target, std::u16string_view replacement,
                          std::u16string_view backup) {
  std::string dst, src, bak;
  if (!Native(target, dst) || !Native(replacement, src) || !Native(backup, bak))
    return err::invalid_name;
  struct stat target_st{}, src_st{};
  if (::stat(dst.c_str(), &target_st) != 0) return posix::Win32Error(errno);
  if (::lstat(src.c_str(), &src_st) != 0) return posix::Win32Error(errno);
  // ReplaceFileW refuses a read-only target with access denied.
  if ((target_st.st_mode & S_IWUSR) == 0) return err::access_denied;
  // The new content keeps the target's permission bits, as Windows keeps the
  // target's attributes; set through a descriptor, never through a link.
  int fd = ::open(src.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return posix::Win32Error(errno);
  int chmod_rc = ::fchmod(fd, target_st.st_mode & 07777);
  int chmod_errno = errno;
  ::close(fd);
  if (chmod_rc != 0) return posix::Win32Error(chmod_errno);
  if (!bak.empty()) {
    if (::unlink(bak.c_str()) != 0 && errno != ENOENT) return err::unable_to_remove_replaced;
    if (!MakeBackup(target, backup)) return err::unable_to_remove_replaced;
  }
  // rename(2) swaps atomically: the name holds the old or the new content.
  if (::rename(src.c_str(), dst.c_str()) != 0) {
    std::uint32_t code = posix::Win32Error(errno);
    if (!bak.empty()) ::unlink(bak.c_str());
    return code;
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
  return posix::FromNative(slash == 0 ? "/" : path.substr(0, slash));
}

std::u16string SystemTempPath() {
  // A private folder per user: a fixed shared name under /tmp could be
  // pre-created by someone else.
  static std::mutex lock;
  static std::string cached;
  std::lock_guard<std::mutex> guard(lock);
  if (!cached.empty()) return posix::FromNative(cached);
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
  return posix::FromNative(cached);
}

std::u16string AppDataFolder() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && *xdg == '/') return posix::FromNative(xdg);
  const char* home = std::getenv("HOME");
  if (home && *home) return posix::FromNative(std::string(home) + "/.config");
  return {};
}

}  // namespace platform
