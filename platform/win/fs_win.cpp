// Win32 file system: folder listing, attributes, binary files, ReplaceFileW,
// folders and well-known paths. Every path goes through ExtendedLengthPath.
// Tested by tests/platform/fs_test.cpp and tests/platform/fs_win_test.cpp.

#include <cstdio>
#include <utility>
#include <vector>

#include "platform/fs.h"
#include "platform/win/wide.h"  // the system headers, without their name macros

namespace platform {
namespace {

using win::FromW;
using win::W;
using win::Wz;

constexpr std::u16string_view kExtendedPrefix = u"\\\\?\\";
constexpr std::u16string_view kExtendedUncPrefix = u"\\\\?\\UNC\\";

// The zero-terminated form that the API receives. A "\\?\" path is taken
// literally by the system ("/", "." and ".." are not resolved), which is why
// only absolute paths get the prefix.
std::wstring ApiPath(std::u16string_view path) { return Wz(ExtendedLengthPath(path)); }

bool HasExtendedPrefix(std::u16string_view path) { return path.starts_with(kExtendedPrefix); }

// Undoes the prefix on a path the system returned, when the caller's path did
// not carry it: callers get back paths in the form they gave.
std::u16string WithoutAddedPrefix(std::u16string_view caller_path, std::u16string result) {
  if (HasExtendedPrefix(caller_path)) return result;
  if (result.starts_with(kExtendedUncPrefix)) {
    return u"\\\\" + result.substr(kExtendedUncPrefix.size());
  }
  if (result.starts_with(kExtendedPrefix)) return result.substr(kExtendedPrefix.size());
  return result;
}

FileTime ToFileTime(const FILETIME& time) {
  return (static_cast<FileTime>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

HANDLE AsHandle(std::intptr_t value) { return reinterpret_cast<HANDLE>(value); }
std::intptr_t FromHandle(HANDLE handle) { return reinterpret_cast<std::intptr_t>(handle); }
const std::intptr_t kNoHandle = FromHandle(INVALID_HANDLE_VALUE);

std::u16string Join(std::u16string_view folder, std::u16string_view name) {
  std::u16string path(folder);
  if (!path.empty() && path.back() != kPathSeparator) path += kPathSeparator;
  path += name;
  return path;
}

std::u16string_view WithoutTrailingSeparators(std::u16string_view path) {
  while (path.size() > 1 && (path.back() == u'\\' || path.back() == u'/')) {
    // Keep the separator of a drive root: "C:" alone means the drive's
    // current folder, not its root.
    if (path.size() == 3 && path[1] == u':') break;
    path.remove_suffix(1);
  }
  return path;
}

// The identity of an open handle; false with the thread's last error set.
bool IdentifyHandle(HANDLE handle, FileIdentity& identity) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(handle, &info)) return false;
  DWORD type = GetFileType(handle);
  identity.volume = info.dwVolumeSerialNumber;
  identity.index = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
  identity.link_count = info.nNumberOfLinks;
  identity.size = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
  identity.last_write_time = ToFileTime(info.ftLastWriteTime);
  identity.is_link = (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  identity.is_regular = !identity.is_link && type == FILE_TYPE_DISK &&
                        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  return true;
}

}  // namespace

// ---------------------------------------------------------------- listing

struct FolderListing::Impl {
  HANDLE folder = INVALID_HANDLE_VALUE;
  // Records of FILE_ID_BOTH_DIR_INFO, which must be 8-byte aligned.
  std::vector<LONGLONG> records = std::vector<LONGLONG>(64 * 1024 / sizeof(LONGLONG));
  std::size_t next = 0;  // byte offset of the next record in `records`
  bool have_records = false;
};

FolderListing::FolderListing() : impl_(std::make_unique<Impl>()) {}
FolderListing::~FolderListing() { Close(); }

bool FolderListing::Open(std::u16string_view folder, Follow follow) {
  Close();
  error_ = 0;
  std::u16string path(folder.empty() ? u"." : folder);
  if (path.size() == 2 && path[1] == u':') path += kPathSeparator;  // "C:" is the drive's root here
  // The folder is opened once and its entries read through that handle
  // (GetFileInformationByHandleEx), so what is listed is the folder that
  // GetIdentity describes, even when its name is swapped meanwhile; a listing
  // by name (FindFirstFileExW) could not promise that. OPEN_REPARSE_POINT
  // opens a junction or link itself instead of what it points at.
  DWORD flags = FILE_FLAG_BACKUP_SEMANTICS;
  if (follow == Follow::kNoLinks) flags |= FILE_FLAG_OPEN_REPARSE_POINT;
  HANDLE handle = CreateFileW(ApiPath(path).c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, flags, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    error_ = GetLastError();
    return false;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(handle, &info)) {
    error_ = GetLastError();
  } else if (follow == Follow::kNoLinks && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    error_ = ERROR_CANT_RESOLVE_FILENAME;
  } else if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    error_ = ERROR_PATH_NOT_FOUND;  // as a listing of "file\*.*" reports it
  }
  if (error_ != 0) {
    CloseHandle(handle);
    return false;
  }
  impl_->folder = handle;
  return true;
}

bool FolderListing::GetIdentity(FileIdentity& identity) {
  if (impl_->folder == INVALID_HANDLE_VALUE) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  return IdentifyHandle(impl_->folder, identity);
}

bool FolderListing::Next(FolderEntry& entry) {
  if (impl_->folder == INVALID_HANDLE_VALUE) return false;
  if (!impl_->have_records) {
    DWORD size = static_cast<DWORD>(impl_->records.size() * sizeof(LONGLONG));
    if (!GetFileInformationByHandleEx(impl_->folder, FileIdBothDirectoryInfo, impl_->records.data(),
                                      size)) {
      DWORD code = GetLastError();
      error_ = code == ERROR_NO_MORE_FILES ? 0 : code;
      return false;
    }
    impl_->have_records = true;
    impl_->next = 0;
  }
  const auto* base = reinterpret_cast<const unsigned char*>(impl_->records.data());
  const auto* d = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(base + impl_->next);
  if (d->NextEntryOffset == 0)
    impl_->have_records = false;
  else
    impl_->next += d->NextEntryOffset;
  auto time = [](const LARGE_INTEGER& t) { return static_cast<FileTime>(t.QuadPart); };
  entry.name = FromW(d->FileName, d->FileNameLength / sizeof(wchar_t));
  entry.attributes = d->FileAttributes;
  entry.size = static_cast<std::uint64_t>(d->EndOfFile.QuadPart);
  entry.creation_time = time(d->CreationTime);
  entry.last_write_time = time(d->LastWriteTime);
  entry.last_access_time = time(d->LastAccessTime);
  entry.details_loaded = true;
  return true;
}

bool FolderListing::LoadDetails(FolderEntry& entry) {
  entry.details_loaded = true;
  return true;
}

bool FolderListing::LoadDetailsByPath(std::u16string_view, FolderEntry& entry) {
  entry.details_loaded = true;
  return true;
}

void FolderListing::Close() {
  if (impl_ && impl_->folder != INVALID_HANDLE_VALUE) {
    CloseHandle(impl_->folder);
    impl_->folder = INVALID_HANDLE_VALUE;
  }
  if (impl_) impl_->have_records = false;
}

// ------------------------------------------------------------- attributes

bool GetLongPathName(std::u16string_view path, std::u16string& long_path) {
  std::wstring api_path = ApiPath(path);
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    // Returns the length without the terminator on success, or the size
    // needed with the terminator when the buffer is too small.
    DWORD length =
        GetLongPathNameW(api_path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return false;
    if (length < buffer.size()) {
      long_path = WithoutAddedPrefix(path, FromW(buffer.data(), length));
      return true;
    }
    buffer.resize(length);
  }
}

bool PathExists(std::u16string_view path) {
  std::wstring api_path = ApiPath(path);
  // PathFileExistsW is a MAX_PATH function even with the "\\?\" prefix;
  // long paths are asked through their attributes instead.
  if (api_path.size() < MAX_PATH) return PathFileExistsW(api_path.c_str()) != FALSE;
  return GetFileAttributesW(api_path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsExistingFile(std::u16string_view path) {
  std::uint32_t attributes = 0;
  return GetFileAttributes(path, attributes) && (attributes & attr::directory) == 0;
}

bool IsExistingFolder(std::u16string_view path) {
  std::uint32_t attributes = 0;
  return GetFileAttributes(path, attributes) && (attributes & attr::directory) != 0;
}

bool GetFileAttributes(std::u16string_view path, std::uint32_t& attributes) {
  DWORD value = GetFileAttributesW(ApiPath(path).c_str());
  if (value == INVALID_FILE_ATTRIBUTES) return false;
  attributes = value;
  return true;
}

bool SetFileAttributes(std::u16string_view path, std::uint32_t attributes) {
  // SetFileAttributesW ignores the directory bit and rejects nothing for it,
  // so callers may pass back what GetFileAttributes gave them.
  return SetFileAttributesW(ApiPath(path).c_str(), attributes) != FALSE;
}

bool GetFileIdentity(std::u16string_view path, FileIdentity& identity) {
  // No access rights are needed to read the identity; OPEN_REPARSE_POINT
  // describes a link itself, BACKUP_SEMANTICS lets folders be opened too.
  HANDLE h = CreateFileW(ApiPath(path).c_str(), FILE_READ_ATTRIBUTES,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool ok = IdentifyHandle(h, identity);
  DWORD error = GetLastError();
  CloseHandle(h);
  if (!ok) SetLastError(error);
  return ok;
}

std::uint32_t LastError() { return GetLastError(); }

// ------------------------------------------------------------------ files

File::File() : handle_(kNoHandle) {}
File::~File() { Close(); }

File::File(File&& other) noexcept
    : handle_(std::exchange(other.handle_, kNoHandle)), error_(other.error_) {}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = std::exchange(other.handle_, kNoHandle);
    error_ = other.error_;
  }
  return *this;
}

bool File::Open(std::u16string_view path, Mode mode) {
  Close();
  DWORD access = GENERIC_READ;
  DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
  DWORD disposition = OPEN_EXISTING;
  DWORD flags = FILE_FLAG_SEQUENTIAL_SCAN;
  if (mode != Mode::kRead) {
    access = GENERIC_WRITE;
    share = FILE_SHARE_READ;
    // Not CREATE_ALWAYS: it fails with access denied on an existing hidden or
    // system file unless the same attributes are passed again. Opening and
    // then truncating works on any writable file and keeps its attributes.
    disposition = mode == Mode::kWriteCreate ? OPEN_ALWAYS : CREATE_NEW;
    flags = FILE_ATTRIBUTE_NORMAL;
  }
  // DELETE lets MoveOver and DeleteAndClose work on the handle; without
  // FILE_SHARE_DELETE nobody else can rename or delete the file meanwhile.
  if (mode == Mode::kWriteTemporary) access |= DELETE;
  HANDLE handle =
      CreateFileW(ApiPath(path).c_str(), access, share, nullptr, disposition, flags, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    error_ = GetLastError();
    return false;
  }
  // A pipe or a device (a name like \\.\pipe\x, or a reserved name) is no
  // file to read or rewrite: its reads can block for ever.
  if (GetFileType(handle) != FILE_TYPE_DISK) {
    CloseHandle(handle);
    error_ = ERROR_BAD_FILE_TYPE;
    SetLastError(error_);
    return false;
  }
  if (mode == Mode::kWriteCreate && !SetEndOfFile(handle)) {
    error_ = GetLastError();
    CloseHandle(handle);
    return false;
  }
  handle_ = FromHandle(handle);
  error_ = 0;
  return true;
}

bool File::IsOpen() const { return handle_ != kNoHandle; }

bool File::Read(void* buffer, std::size_t size, std::size_t& read) {
  read = 0;
  if (!IsOpen()) {
    error_ = ERROR_INVALID_HANDLE;
    return false;
  }
  // ReadFile counts in DWORDs; a larger request is served in part, which the
  // contract allows.
  DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
  DWORD got = 0;
  if (!ReadFile(AsHandle(handle_), buffer, chunk, &got, nullptr)) {
    error_ = GetLastError();
    return false;
  }
  read = got;
  return true;
}

bool File::Write(const void* data, std::size_t size) {
  if (!IsOpen()) {
    error_ = ERROR_INVALID_HANDLE;
    return false;
  }
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(AsHandle(handle_), bytes, chunk, &written, nullptr)) {
      error_ = GetLastError();
      return false;
    }
    if (written == 0) {  // never expected from a disk file; avoids a spin
      error_ = ERROR_WRITE_FAULT;
      return false;
    }
    bytes += written;
    size -= written;
  }
  return true;
}

bool File::Seek(std::uint64_t offset) {
  LARGE_INTEGER distance;
  distance.QuadPart = static_cast<LONGLONG>(offset);
  if (!IsOpen() || !SetFilePointerEx(AsHandle(handle_), distance, nullptr, FILE_BEGIN)) {
    error_ = IsOpen() ? GetLastError() : ERROR_INVALID_HANDLE;
    return false;
  }
  return true;
}

bool File::Flush() {
  if (!IsOpen() || !FlushFileBuffers(AsHandle(handle_))) {
    error_ = IsOpen() ? GetLastError() : ERROR_INVALID_HANDLE;
    return false;
  }
  return true;
}

bool File::GetSize(std::uint64_t& size) {
  LARGE_INTEGER value;
  if (!IsOpen() || !GetFileSizeEx(AsHandle(handle_), &value)) {
    error_ = IsOpen() ? GetLastError() : ERROR_INVALID_HANDLE;
    return false;
  }
  size = static_cast<std::uint64_t>(value.QuadPart);
  return true;
}

bool File::GetIdentity(FileIdentity& identity) {
  if (!IsOpen() || !IdentifyHandle(AsHandle(handle_), identity)) {
    error_ = IsOpen() ? GetLastError() : ERROR_INVALID_HANDLE;
    return false;
  }
  return true;
}

bool File::GetMetadata(FileMetadata& metadata) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!IsOpen() || !GetFileInformationByHandle(AsHandle(handle_), &info)) {
    error_ = IsOpen() ? GetLastError() : ERROR_INVALID_HANDLE;
    return false;
  }
  metadata.attributes = info.dwFileAttributes;
  metadata.creation_time = ToFileTime(info.ftCreationTime);
  return true;
}

bool File::SetMetadata(const FileMetadata& metadata) {
  // The attributes a file can be given; read-only is left to the caller (a
  // read-only file could not be renamed over the target's name), the others
  // describe the file system's own state.
  constexpr DWORD kSettable = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN |
                              FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | FILE_ATTRIBUTE_OFFLINE |
                              FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_TEMPORARY;
  FILE_BASIC_INFO basic{};
  basic.CreationTime.QuadPart = static_cast<LONGLONG>(metadata.creation_time);
  basic.FileAttributes = metadata.attributes & kSettable;
  if (basic.FileAttributes == 0) basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
  // Zero times mean "leave as is".
  if (!IsOpen() ||
      !SetFileInformationByHandle(AsHandle(handle_), FileBasicInfo, &basic, sizeof basic)) {
    error_ = IsOpen() ? GetLastError() : ERROR_INVALID_HANDLE;
    return false;
  }
  return true;
}

namespace {

// A full path with the "\\?\" prefix, as a rename by handle takes it: the
// name is handed to the system without the normalisation of other calls.
std::wstring VerbatimPath(std::u16string_view path) {
  std::wstring api_path = ApiPath(path);
  DWORD size = GetFullPathNameW(api_path.c_str(), 0, nullptr, nullptr);
  std::wstring full(size, L'\0');
  DWORD length = size == 0 ? 0 : GetFullPathNameW(api_path.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size) return api_path;
  full.resize(length);
  std::u16string text = FromW(full.c_str(), full.size());
  if (text.starts_with(kExtendedPrefix)) return full;
  if (text.starts_with(u"\\\\")) return W(kExtendedUncPrefix.data()) + full.substr(2);
  return W(kExtendedPrefix.data()) + full;
}

}  // namespace

std::uint32_t File::MoveOver(std::u16string_view own_path, std::u16string_view target) {
  (void)own_path;  // the handle says which file moves
  if (!IsOpen()) return error_ = ERROR_INVALID_HANDLE;
  // Not ReplaceFileW: it renames the target away (to the backup name, or
  // out of sight without one) before it moves the replacement in, and a
  // crash between the two leaves no file under the name; its partial
  // failures 1176 and 1177 are that state. A rename by handle with
  // ReplaceIfExists is one step on the file system: the name holds the old
  // file or the new one. A read-only target is refused (access denied), as
  // ReplaceFileW refuses it.
  std::wstring name = VerbatimPath(target);
  // Wine lets a rename replace a read-only file, Windows does not: asked
  // first, so that the caller's read-only handling runs everywhere.
  DWORD attributes = GetFileAttributesW(name.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
    return error_ = ERROR_ACCESS_DENIED;
  std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + name.size() * sizeof(wchar_t));
  auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  info->ReplaceIfExists = TRUE;
  info->RootDirectory = nullptr;
  info->FileNameLength = static_cast<DWORD>(name.size() * sizeof(wchar_t));
  std::copy(name.begin(), name.end(), info->FileName);
  info->FileName[name.size()] = L'\0';
  if (!SetFileInformationByHandle(AsHandle(handle_), FileRenameInfo, info,
                                  static_cast<DWORD>(buffer.size()))) {
    error_ = GetLastError();
    return error_ != 0 ? error_ : ERROR_GEN_FAILURE;
  }
  // FlushFileBuffers before the rename made the data durable; this makes the
  // new name so (MOVEFILE_WRITE_THROUGH's promise for a rename by name).
  (void)FlushFileBuffers(AsHandle(handle_));
  return 0;
}

bool File::DeleteAndClose(std::u16string_view own_path) {
  (void)own_path;  // the handle says which file goes
  if (!IsOpen()) return true;
  // The delete disposition acts on this file, whatever its name names now;
  // it needs the DELETE access of kWriteTemporary.
  // Brace-initialised: the header's DeleteFile macro renamed the member.
  FILE_DISPOSITION_INFO disposition{TRUE};
  bool deleted = SetFileInformationByHandle(AsHandle(handle_), FileDispositionInfo, &disposition,
                                            sizeof disposition) != FALSE;
  if (!deleted) error_ = GetLastError();
  Close();
  return deleted;
}

bool File::Close() {
  if (!IsOpen()) return true;
  HANDLE handle = AsHandle(std::exchange(handle_, kNoHandle));
  if (!CloseHandle(handle)) {
    error_ = GetLastError();
    return false;
  }
  return true;
}

// ---------------------------------------------------------------- folders

bool DeleteFile(std::u16string_view path) { return DeleteFileW(ApiPath(path).c_str()) != FALSE; }

bool RemoveFolder(std::u16string_view path) {
  return RemoveDirectoryW(ApiPath(path).c_str()) != FALSE;
}

bool MoveFile(std::u16string_view from, std::u16string_view to) {
  // Flags 0: an existing target makes the call fail (ERROR_ALREADY_EXISTS)
  // and a move across volumes is refused rather than turned into a copy.
  return MoveFileExW(ApiPath(from).c_str(), ApiPath(to).c_str(), 0) != FALSE;
}

bool CreateFolderTree(std::u16string_view path) {
  path = WithoutTrailingSeparators(path);
  if (path.empty()) return false;
  if (IsExistingFolder(path)) return true;
  std::size_t cut = path.find_last_of(u"\\/");
  if (cut != std::u16string_view::npos && cut > 0) {
    // A failure here (a drive or share root cannot be made) shows below.
    (void)CreateFolderTree(path.substr(0, cut));
  }
  if (CreateDirectoryW(ApiPath(path).c_str(), nullptr)) return true;
  DWORD code = GetLastError();
  bool exists = IsExistingFolder(path);  // made meanwhile by someone else
  if (!exists) SetLastError(code);
  return exists;
}

namespace {

bool DeleteFolderContents(const std::u16string& folder);

// Removes one entry of a folder being emptied.
bool DeleteEntry(const std::u16string& path, DWORD attributes) {
  std::wstring api_path = ApiPath(path);
  if (attributes & FILE_ATTRIBUTE_READONLY) {
    SetFileAttributesW(api_path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    // A junction or folder symbolic link is removed as a link: listing it
    // would walk into (and empty) the folder it points at.
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) DeleteFolderContents(path);
    return RemoveDirectoryW(api_path.c_str()) != FALSE;
  }
  return DeleteFileW(api_path.c_str()) != FALSE;
}

bool DeleteFolderContents(const std::u16string& folder) {
  FolderListing listing;
  if (!listing.Open(folder)) return false;
  bool all = true;
  FolderEntry entry;
  while (listing.Next(entry)) {
    if (entry.name == u"." || entry.name == u"..") continue;
    all = DeleteEntry(Join(folder, entry.name), entry.attributes) && all;
  }
  return all;
}

}  // namespace

bool DeleteFolderTree(std::u16string_view path) {
  std::u16string folder(WithoutTrailingSeparators(path));
  DWORD attributes = GetFileAttributesW(ApiPath(folder).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return !PathExists(folder);
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return false;  // a file, not a folder
  DeleteEntry(folder, attributes);
  return !PathExists(folder);
}

// ------------------------------------------------------- temporary names

namespace {

// GetTempFileNameW refuses folders longer than MAX_PATH - 14 characters,
// with or without the long-path prefix. For those, the same naming scheme
// is run by hand: prefix (first three characters) + hex number + ".tmp",
// created exclusively so that two callers never get the same name.
bool CreateLongTempFileName(std::u16string_view folder, std::u16string_view prefix,
                            std::u16string& path) {
  std::u16string stem = Join(folder, prefix.substr(0, 3));
  unsigned start = GetTickCount() & 0xFFFF;
  for (unsigned i = 0; i < 0x10000; ++i) {
    unsigned number = ((start + i) & 0xFFFF);
    if (number == 0) continue;
    char hex[8];
    std::snprintf(hex, sizeof hex, "%04X", number);
    std::u16string candidate = stem;
    for (const char* c = hex; *c; ++c) candidate += static_cast<char16_t>(*c);
    candidate += u".tmp";
    HANDLE handle = CreateFileW(ApiPath(candidate).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
      CloseHandle(handle);
      path = std::move(candidate);
      return true;
    }
    DWORD code = GetLastError();
    if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) return false;
  }
  SetLastError(ERROR_FILE_EXISTS);
  return false;
}

}  // namespace

bool CreateTempFileName(std::u16string_view folder, std::u16string_view prefix,
                        std::u16string& path) {
  if (folder.size() >= MAX_PATH - 14) return CreateLongTempFileName(folder, prefix, path);
  wchar_t buffer[MAX_PATH];
  if (GetTempFileNameW(Wz(folder).c_str(), Wz(prefix).c_str(), 0, buffer) == 0) return false;
  path = FromW(buffer);
  return true;
}

bool MakeBackup(std::u16string_view target, std::u16string_view backup) {
  std::wstring from = ApiPath(target), to = ApiPath(backup);
  if (CreateHardLinkW(to.c_str(), from.c_str(), nullptr)) return true;
  DWORD code = GetLastError();
  if (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS) {
    SetLastError(ERROR_FILE_EXISTS);  // one code for a taken name, as on POSIX
    return false;
  }
  // FAT volumes and some shares have no hard links: a copy (CopyFileW keeps
  // the attributes) holds the old content there.
  return CopyFileW(from.c_str(), to.c_str(), TRUE) != FALSE;
}

std::uint32_t ReplaceFile(std::u16string_view target, std::u16string_view replacement,
                          std::u16string_view backup) {
  std::wstring target_path = ApiPath(target), replacement_path = ApiPath(replacement);
  DWORD attributes = GetFileAttributesW(target_path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return GetLastError();
  // As ReplaceFileW: a read-only target is refused.
  if (attributes & FILE_ATTRIBUTE_READONLY) return ERROR_ACCESS_DENIED;
  if (GetFileAttributesW(replacement_path.c_str()) == INVALID_FILE_ATTRIBUTES)
    return GetLastError();
  // The new content keeps the target's attributes, as ReplaceFileW keeps them.
  (void)SetFileAttributesW(replacement_path.c_str(),
                           attributes & ~(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
  if (!backup.empty()) {
    std::wstring backup_path = ApiPath(backup);
    if (!DeleteFileW(backup_path.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND)
      return ERROR_UNABLE_TO_REMOVE_REPLACED;
    if (!MakeBackup(target, backup)) return ERROR_UNABLE_TO_REMOVE_REPLACED;
  }
  // See File::MoveOver for why this is not ReplaceFileW: the rename replaces
  // the name in one step, so it never stands empty.
  if (!MoveFileExW(replacement_path.c_str(), target_path.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DWORD code = GetLastError();
    if (!backup.empty()) (void)DeleteFileW(ApiPath(backup).c_str());
    return code != 0 ? code : ERROR_GEN_FAILURE;
  }
  return 0;
}

// ---------------------------------------------------------- well-known paths

namespace {

std::u16string FolderOf(std::u16string path) {
  std::size_t cut = path.find_last_of(u"\\/");
  if (cut == std::u16string::npos) return std::u16string();
  path.resize(cut);
  return path;
}

}  // namespace

std::u16string ModuleFolder() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    // A too-small buffer is not an error here: the call returns the buffer
    // size with a truncated path (and ERROR_INSUFFICIENT_BUFFER).
    DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::u16string();
    if (length < buffer.size()) return FolderOf(FromW(buffer.data(), length));
    buffer.resize(buffer.size() * 2);
  }
}

std::u16string SystemTempPath() {
  wchar_t buffer[MAX_PATH + 1];
  DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
  if (length == 0 || length > MAX_PATH) return std::u16string();
  std::u16string path = FromW(buffer, length);
  return std::u16string(WithoutTrailingSeparators(path));
}

std::u16string AppDataFolder() {
  wchar_t buffer[MAX_PATH];
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, buffer))) {
    return std::u16string();
  }
  return FromW(buffer);
}

}  // namespace platform
