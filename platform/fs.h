// File system: folder listing, attributes, binary files, the safe replace of a
// file by another, folders and well-known paths.
// Tested by tests/platform/fs_test.cpp on both implementations.
//
// Paths are UTF-16. Windows uses "\" as the separator, the POSIX stand-in "/";
// kPathSeparator is the one in force. On Windows every call adds the "\\?\"
// long-path prefix where a path needs it (see ExtendedLengthPath).
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/types.h"

namespace platform {

#ifdef _WIN32
inline constexpr char16_t kPathSeparator = u'\\';
#else
inline constexpr char16_t kPathSeparator = u'/';
#endif

// One entry of a folder listing.
// Windows fills every field from the listing itself. The POSIX stand-in fills
// `name` and the folder/hidden/reparse/device bits cheaply; the rest (size,
// times, read-only) only after FolderListing::LoadDetails, which costs a stat
// call. attr::device marks what is neither file, folder nor link (a pipe, a
// device, a socket): reading it could block.
struct FolderEntry {
  std::u16string name;
  std::uint32_t attributes = 0;
  std::uint64_t size = 0;
  FileTime creation_time = 0;
  FileTime last_write_time = 0;
  FileTime last_access_time = 0;
  bool details_loaded = false;

  bool IsFolder() const { return (attributes & attr::directory) != 0; }
};

// What tells one file from another, and whether it changed: the volume and
// file index (Windows: GetFileInformationByHandle on a handle opened with
// FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS; POSIX: lstat's
// st_dev and st_ino), the number of names (hard links), size and last-write
// time. A symbolic link is described itself, never its target.
struct FileIdentity {
  std::uint64_t volume = 0;
  std::uint64_t index = 0;
  std::uint32_t link_count = 0;
  std::uint64_t size = 0;
  FileTime last_write_time = 0;
  bool is_link = false;
  bool is_regular = false;  // not a folder, link, device, pipe or socket

  bool SameFile(const FileIdentity& other) const {
    return volume == other.volume && index == other.index;
  }
  bool Unchanged(const FileIdentity& other) const {
    return SameFile(other) && size == other.size && last_write_time == other.last_write_time;
  }
};
// Lists one folder, "." and ".." included where the system lists them
// (Windows: FindFirstFileExW on folder + "\*.*" with the large-fetch flag;
// POSIX: readdir, which lists both).
class FolderListing {
 public:
  FolderListing();
  ~FolderListing();
  FolderListing(const FolderListing&) = delete;
  FolderListing& operator=(const FolderListing&) = delete;

  enum class Follow { kLinks, kNoLinks };
  // False when the folder cannot be listed; error() tells why. With kNoLinks
  // a folder whose own name is a symbolic link or junction is refused
  // (err::cant_resolve_filename) rather than entered; the entries are then
  // read through the one handle that was opened (POSIX: open with
  // O_NOFOLLOW | O_DIRECTORY, then fdopendir; Windows: a handle opened with
  // FILE_FLAG_OPEN_REPARSE_POINT, listed with GetFileInformationByHandleEx),
  // so the listing is of the folder that GetIdentity describes even when the
  // name is swapped meanwhile.
  [[nodiscard]] bool Open(std::u16string_view folder, Follow follow = Follow::kLinks);
  // The identity of the folder being listed, from the open handle (fstat /
  // GetFileInformationByHandle).
  [[nodiscard]] bool GetIdentity(FileIdentity& identity);
  // Fills `entry` with the next entry; false at the end.
  [[nodiscard]] bool Next(FolderEntry& entry);
  // Completes size, times and the read-only bit (a no-op on Windows). False
  // when the entry vanished meanwhile; the entry keeps what it had.
  bool LoadDetails(FolderEntry& entry);
  void Close();
  // LoadDetails for an entry of a listing that may be closed by now, by the
  // entry's full path (a stat call by path; a no-op on Windows).
  static bool LoadDetailsByPath(std::u16string_view path, FolderEntry& entry);
  std::uint32_t error() const { return error_; }

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  std::uint32_t error_ = 0;
};

// The Windows long-path prefix: an absolute drive path ("C:\...") of
// MAX_PATH (260) characters or more becomes "\\?\C:\...", a UNC path
// ("\\server\share\...") "\\?\UNC\server\share\...". Shorter, relative and
// already prefixed paths are returned unchanged. Pure string work, so it is
// tested on every platform; only the Windows layer applies it.
std::u16string ExtendedLengthPath(std::u16string_view path);

// GetLongPathNameW: the long form of an existing path (8.3 components
// expanded). False when the path does not exist or cannot be resolved.
// POSIX has no short names: an existing path is returned as it is.
[[nodiscard]] bool GetLongPathName(std::u16string_view path, std::u16string& long_path);

// PathFileExistsW: true for an existing file or folder.
bool PathExists(std::u16string_view path);
// True for an existing file that is not a folder.
bool IsExistingFile(std::u16string_view path);
// True for an existing folder.
bool IsExistingFolder(std::u16string_view path);

// GetFileAttributesW / SetFileAttributesW. The POSIX stand-in reports
// directory, hidden (name starts with "."), reparse point (symbolic link) and
// read-only (owner write bit clear); setting changes only the owner write bit.
[[nodiscard]] bool GetFileAttributes(std::u16string_view path, std::uint32_t& attributes);
[[nodiscard]] bool SetFileAttributes(std::u16string_view path, std::uint32_t attributes);

// The identity of the entry `path` names.
[[nodiscard]] bool GetFileIdentity(std::u16string_view path, FileIdentity& identity);

// Last error of the calling thread after a failed call above, as a Win32 code.
std::uint32_t LastError();

// What a rewritten file keeps of the file it replaces, read from the open
// original and applied to the open replacement before the swap. POSIX: the
// owner, group and permission bits (fstat, then fchown and fchmod). Windows:
// the attributes (read-only aside: the swap refuses a read-only target and the
// caller handles that) and the creation time (GetFileInformationByHandle,
// then SetFileInformationByHandle(FileBasicInfo)).
struct FileMetadata {
  std::uint32_t owner = 0;
  std::uint32_t group = 0;
  std::uint32_t mode = 0;
  std::uint32_t attributes = 0;
  FileTime creation_time = 0;
};

// A file opened for binary reading or writing. Not copyable; closes itself.
class File {
 public:
  enum class Mode {
    // An existing regular file, shared for reading and writing by others.
    // Never blocks: a pipe, device or socket is refused with
    // err::bad_file_type (POSIX opens with O_NONBLOCK, then checks fstat;
    // Windows checks GetFileType after CreateFileW), a folder with
    // err::access_denied.
    kRead,
    kWriteCreate,  // create or truncate
    kWriteNew,     // create only if no such name exists (else err::file_exists)
    // As kWriteNew, for a file that will replace another (MoveOver): readable
    // by the owner alone until SetMetadata (POSIX mode 0600), and on Windows
    // opened with DELETE access and without delete sharing, so that nobody
    // else can rename or delete it while it is open.
    kWriteTemporary,
  };

  File();
  ~File();
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  [[nodiscard]] bool Open(std::u16string_view path, Mode mode);
  bool IsOpen() const;
  // Reads up to `size` bytes; `read` is 0 at the end of the file.
  [[nodiscard]] bool Read(void* buffer, std::size_t size, std::size_t& read);
  // Writes every byte or fails.
  [[nodiscard]] bool Write(const void* data, std::size_t size);
  [[nodiscard]] bool Seek(std::uint64_t offset);
  // Pushes written data to the disk (FlushFileBuffers / fsync).
  [[nodiscard]] bool Flush();
  [[nodiscard]] bool GetSize(std::uint64_t& size);
  // The identity of the open file (fstat / GetFileInformationByHandle): the
  // file this object reads or wrote, whatever its name now names.
  [[nodiscard]] bool GetIdentity(FileIdentity& identity);
  [[nodiscard]] bool GetMetadata(FileMetadata& metadata);
  // Gives the open file `metadata` (see FileMetadata). POSIX: the owner and
  // group change only where they differ; a change the system refuses fails
  // (err::access_denied) and leaves the mode alone.
  [[nodiscard]] bool SetMetadata(const FileMetadata& metadata);
  // Puts this file, opened with kWriteTemporary under the name `own_path`,
  // under `target`'s name in one step: `target` names the old or the new
  // file at every instant, never nothing. Returns 0 or a Win32 code;
  // access_denied for a read-only target (as Windows refuses to replace it;
  // the caller may clear the attribute and retry). The file stays open.
  // Windows: SetFileInformationByHandle(FileRenameInfo, ReplaceIfExists) on
  // the open handle, so the file moved is the one written whatever happened
  // to its name. POSIX: rename(2) of `own_path`; the caller checks just
  // before that `own_path` still names this file (GetIdentity).
  std::uint32_t MoveOver(std::u16string_view own_path, std::u16string_view target);
  // Deletes this file, opened with kWriteTemporary under `own_path`, and
  // closes it. Whatever else has come to be under `own_path` is left alone.
  // Windows: delete disposition on the open handle; POSIX: unlink when
  // `own_path` still names this file.
  bool DeleteAndClose(std::u16string_view own_path);
  // Closes; false when the system reported a failure (a lost write).
  bool Close();
  // The Win32 code of the last failure of this object.
  std::uint32_t error() const { return error_; }

 private:
  std::intptr_t handle_;
  std::uint32_t error_ = 0;
};

// DeleteFileW. RemoveFolder removes an empty folder.
[[nodiscard]] bool DeleteFile(std::u16string_view path);
[[nodiscard]] bool RemoveFolder(std::u16string_view path);
// MoveFileExW without replacing an existing target.
[[nodiscard]] bool MoveFile(std::u16string_view from, std::u16string_view to);
// Creates the folder and any missing parents; true if it exists afterwards.
[[nodiscard]] bool CreateFolderTree(std::u16string_view path);
// Deletes the folder with everything in it (read-only files included); true
// when nothing is left. Never follows symbolic links or junctions.
bool DeleteFolderTree(std::u16string_view path);

// GetTempFileNameW(folder, prefix, 0): creates a new empty file named
// prefix + 4 hex digits + ".tmp" in `folder` and returns its path; false when
// no name could be created.
[[nodiscard]] bool CreateTempFileName(std::u16string_view folder, std::u16string_view prefix,
                                      std::u16string& path);

// Keeps the current content of the existing file `target` under the new name
// `backup` as well: a second hard link where the file system has them
// (CreateHardLinkW / link(2)), else a copy with the same attributes or mode.
// Fails when `backup` exists. The target's name is never touched.
[[nodiscard]] bool MakeBackup(std::u16string_view target, std::u16string_view backup);

// The replacement's content takes the target's name; with a backup name the
// old content is also kept under it (an older file of that name is replaced).
// Unlike ReplaceFileW, which renames the target away before it moves the
// replacement in, the target's name holds the old or the new content at
// every instant: the backup is made first (MakeBackup), then the replacement
// is renamed over the target in one step (MoveFileExW with
// MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH / rename(2)). The new
// content gets the target's attributes (POSIX: permission bits). Returns 0 or
// a Win32 error code:
//   access_denied (5) when the target is read-only (the caller may clear the
//     attribute and retry);
//   file_not_found (2) / path_not_found (3) when the target or replacement is
//     missing;
//   unable_to_remove_replaced (1175) when the backup could not be made;
//   any other code from the rename. On every failure the target is as it was
//   and no backup was made.
std::uint32_t ReplaceFile(std::u16string_view target, std::u16string_view replacement,
                          std::u16string_view backup);

// The folder of the running program, without a trailing separator.
std::u16string ModuleFolder();
// GetTempPathW without the trailing separator. The POSIX stand-in returns a
// private per-user folder (mode 0700) under $TMPDIR or /tmp, creating it.
std::u16string SystemTempPath();
// The per-user application-data folder (Windows: CSIDL_APPDATA, the roaming
// folder; POSIX: $XDG_CONFIG_HOME or ~/.config). Empty when unknown.
std::u16string AppDataFolder();

}  // namespace platform
