// The platform layer on Windows: native paths, KERNEL32 file calls and the system's own INI reader.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "engine/platform/platform.h"
#include "engine/platform/run_lock.h"
#include "engine/text_util.h"

namespace kestrune {
namespace {

// Windows keeps one permission of its own per file, the read-only attribute; it stands for
// the absence of every write bit, as the engine reads and copies modes.
constexpr unsigned kWritableMode = 0666;
constexpr unsigned kReadOnlyMode = 0444;
constexpr unsigned kWriteBits = 0222;

// A sync client or a virus scanner may hold a file for a moment; a move is retried this often.
constexpr int kMoveAttempts = 10;
constexpr DWORD kMoveRetryMilliseconds = 50;

constexpr DWORD kShareEverything = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr char kLongPathPrefix[] = "\\\\?\\";
constexpr char kLongUncPrefix[] = "\\\\?\\UNC\\";

// The error code of the last call of this thread that failed, 0 once taken, in a slot of the
// thread's own: the slot holds the code itself, so nothing is allocated, on Windows XP too.
const DWORD kFailureSlot = TlsAlloc();

void KeepFailure(DWORD error) {
  TlsSetValue(kFailureSlot, reinterpret_cast<void*>(static_cast<std::uintptr_t>(error)));
}

DWORD KeptFailure() {
  return static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(TlsGetValue(kFailureSlot)));
}

// Keeps the thread's last error as its last failure and gives back the call's failure result.
template <typename Result>
Result Failed(Result result) {
  KeepFailure(GetLastError());
  return result;
}

HANDLE ToHandle(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

FileHandle ToFile(HANDLE handle) {
  return handle == INVALID_HANDLE_VALUE ? kNoFile : reinterpret_cast<FileHandle>(handle);
}

DWORD ChunkOf(std::size_t size) {
  return size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
}

// Errors that mean the path names nothing, rather than that the question failed.
bool IsMissing(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_DIRECTORY: return true;
    default: return false;
  }
}

// What FormatMessage closes its messages with: a full stop, a space, a line end.
bool IsMessageEnd(char c) { return c == '.' || c == ' ' || c == '\r' || c == '\n'; }

bool IsTransient(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
         error == ERROR_ACCESS_DENIED;
}

// Functions that Windows XP lacks are looked up at run time, so the program still starts there.
template <typename Function>
Function KernelFunction(const char* name) {
  const HMODULE kernel = GetModuleHandleA("kernel32.dll");
  if (kernel == nullptr) return nullptr;
  const FARPROC found = GetProcAddress(kernel, name);
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

using GetFinalPathFunction = DWORD(WINAPI*)(HANDLE, LPSTR, DWORD, DWORD);
using SetInformationFunction = BOOL(WINAPI*)(HANDLE, FILE_INFO_BY_HANDLE_CLASS, LPVOID, DWORD);

// Fills all of info but is_link from an open handle. Devices and pipes have no identity.
bool Describe(HANDLE handle, FileInfo* info) {
  const DWORD type = GetFileType(handle);
  if (type != FILE_TYPE_DISK) {
    info->kind = FileKind::kOther;
    return type != FILE_TYPE_UNKNOWN || GetLastError() == NO_ERROR;
  }
  BY_HANDLE_FILE_INFORMATION details;
  if (!GetFileInformationByHandle(handle, &details)) return false;
  const bool directory = details.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
  info->kind = directory ? FileKind::kDirectory : FileKind::kRegular;
  info->device = details.dwVolumeSerialNumber;
  info->index = (static_cast<std::uint64_t>(details.nFileIndexHigh) << 32) | details.nFileIndexLow;
  info->mode = (details.dwFileAttributes & FILE_ATTRIBUTE_READONLY) ? kReadOnlyMode : kWritableMode;
  // No change time here: an input is opened so that no other program may write it meanwhile.
  info->size = (static_cast<std::uint64_t>(details.nFileSizeHigh) << 32) | details.nFileSizeLow;
  info->modified = (static_cast<std::uint64_t>(details.ftLastWriteTime.dwHighDateTime) << 32) |
                   details.ftLastWriteTime.dwLowDateTime;
  return true;
}

// A handle that asks for attributes only: it follows symbolic links, opens folders too and
// is granted whatever share modes the file's other handles chose.
HANDLE OpenForQuestions(const char* path) {
  return CreateFileA(path, FILE_READ_ATTRIBUTES, kShareEverything, nullptr, OPEN_EXISTING,
                     FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// Only a symbolic link counts as a link; other reparse points (cloud placeholders,
// deduplicated files) are the files themselves.
bool IsSymbolicLink(const char* path, DWORD attributes) {
  if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA(path, &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return found.dwReserved0 == IO_REPARSE_TAG_SYMLINK;
}

// The attributes with the read-only one set or cleared; never zero, which means "no change".
DWORD WithReadOnly(DWORD attributes, bool read_only) {
  const DWORD others =
      attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_NORMAL);
  const DWORD changed = read_only ? (others | FILE_ATTRIBUTE_READONLY) : others;
  return changed == 0 ? FILE_ATTRIBUTE_NORMAL : changed;
}

bool SetReadOnly(const char* path, DWORD attributes, bool read_only) {
  return SetFileAttributesA(path, WithReadOnly(attributes, read_only)) != 0;
}

bool IsReadOnlyFile(const char* path, DWORD* attributes) {
  *attributes = GetFileAttributesA(path);
  return *attributes != INVALID_FILE_ATTRIBUTES && (*attributes & FILE_ATTRIBUTE_READONLY) &&
         !(*attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Runs an operation that a read-only name refuses: the attribute is cleared for it and put
// back when it fails, so that read-only protects contents, not names, as on POSIX.
template <typename Operation>
bool DespiteReadOnly(const char* path, Operation operation) {
  if (operation()) return true;
  DWORD attributes;
  if (GetLastError() != ERROR_ACCESS_DENIED || !IsReadOnlyFile(path, &attributes)) return false;
  if (!SetReadOnly(path, attributes, false)) return false;
  if (operation()) return true;
  const DWORD error = GetLastError();
  SetReadOnly(path, attributes, true);
  SetLastError(error);
  return false;
}

// Drops the \\?\ prefix of a final path: \\?\C:\x gives C:\x, \\?\UNC\host\x gives \\host\x.
bool CopyWithoutLongPrefix(char* out, std::size_t capacity, const char* path) {
  if (std::strncmp(path, kLongUncPrefix, sizeof kLongUncPrefix - 1) == 0) {
    if (capacity < 2) return false;
    out[0] = '\\';
    if (CopyText(out + 1, capacity - 1, path + sizeof kLongUncPrefix - 2)) return true;
    out[0] = '\0';
    return false;
  }
  if (std::strncmp(path, kLongPathPrefix, sizeof kLongPathPrefix - 1) == 0) {
    path += sizeof kLongPathPrefix - 1;
  }
  return CopyText(out, capacity, path);
}

class WindowsPlatform final : public Platform {
 public:
  // Others may read along but neither write, rename nor delete the file while it is open;
  // whatever is not a file on a disk (a folder, a device, a pipe) is refused at once.
  FileHandle OpenForRead(const char* path) override {
    const HANDLE handle = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    return KeepIfDiskFile(handle);
  }

  // CREATE_NEW never opens an existing name, a symbolic link pointing nowhere included.
  // DELETE access lets RemoveNow remove the file through this handle; others still may not.
  FileHandle CreateNew(const char* path) override {
    const HANDLE handle = CreateFileA(path, GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    return KeepIfDiskFile(handle);
  }

  long Read(FileHandle file, char* buffer, std::size_t size) override {
    DWORD got = 0;
    if (!ReadFile(ToHandle(file), buffer, ChunkOf(size), &got, nullptr)) return Failed(-1L);
    return static_cast<long>(got);
  }

  bool Write(FileHandle file, const char* data, std::size_t size) override {
    while (size > 0) {
      DWORD put = 0;
      if (!WriteFile(ToHandle(file), data, ChunkOf(size), &put, nullptr) || put == 0) {
        return Failed(false);
      }
      data += put;
      size -= put;
    }
    return true;
  }

  bool Sync(FileHandle file) override {
    return FlushFileBuffers(ToHandle(file)) != 0 || Failed(false);
  }

  // A mode without write bits makes the file read-only. The open handle keeps its write
  // access, and Remove and RenameReplacing treat the attribute as POSIX treats modes.
  bool SetMode(FileHandle file, unsigned mode) override {
    BY_HANDLE_FILE_INFORMATION details;
    if (GetFileType(ToHandle(file)) != FILE_TYPE_DISK ||
        !GetFileInformationByHandle(ToHandle(file), &details)) {
      return Failed(false);
    }
    const DWORD wanted = WithReadOnly(details.dwFileAttributes, (mode & kWriteBits) == 0);
    if (wanted == details.dwFileAttributes) return true;
    static const auto set_information =
        KernelFunction<SetInformationFunction>("SetFileInformationByHandle");
    if (set_information == nullptr) return false;
    FILE_BASIC_INFO basic{};  // zero times leave the file's times as they are
    basic.FileAttributes = wanted;
    return set_information(ToHandle(file), FileBasicInfo, &basic, sizeof basic) != 0 ||
           Failed(false);
  }

  // A new file takes its owner and rights from its folder, as the input did; only an
  // administrator may give a file away, so nothing is changed.
  bool SetOwner(FileHandle, const FileInfo&) override { return true; }

  // The run's byte, failing at once when another handle holds it.
  LockOutcome TryLock(FileHandle file) override {
    OVERLAPPED far_away{};
    far_away.Offset = static_cast<DWORD>(kRunLockOffset);
    far_away.OffsetHigh = static_cast<DWORD>(kRunLockOffset >> 32);
    if (LockFileEx(ToHandle(file), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                   &far_away)) {
      return LockOutcome::kLocked;
    }
    return GetLastError() == ERROR_LOCK_VIOLATION ? LockOutcome::kHeldElsewhere
                                                  : Failed(LockOutcome::kFailed);
  }

  bool Close(FileHandle file) override { return CloseHandle(ToHandle(file)) != 0 || Failed(false); }

  bool Remove(const char* path) override {
    if (DespiteReadOnly(path, [path] { return DeleteFileA(path) != 0; })) return true;
    return IsMissing(GetLastError()) || Failed(false);
  }

  bool PrepareRemoval(FileHandle file, const char* /*path*/, RemovalTicket* ticket) override {
    ticket->file = file;
    return GetFileType(ToHandle(file)) == FILE_TYPE_DISK;
  }

  // The file goes when its handle closes, at the process's end at the latest; the read-only
  // attribute would refuse that. Windows XP lacks the call: the file then stays, for the
  // next run to remove.
  void RemoveNow(const RemovalTicket& ticket) override {
    const auto set_information =
        KernelFunction<SetInformationFunction>("SetFileInformationByHandle");
    if (set_information == nullptr) return;
    FILE_BASIC_INFO basic{};  // zero times leave the file's times as they are
    basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    set_information(ToHandle(ticket.file), FileBasicInfo, &basic, sizeof basic);
    FILE_DISPOSITION_INFO disposition = {TRUE};
    set_information(ToHandle(ticket.file), FileDispositionInfo, &disposition, sizeof disposition);
  }

  // No hard links: a second name of a file held open elsewhere cannot be removed again.
  bool Link(const char*, const char*) override { return false; }

  // A move within one volume is a rename of the directory entry, so the name to never goes
  // missing; without MOVEFILE_COPY_ALLOWED a move to another volume fails instead of copying.
  bool RenameReplacing(const char* from, const char* to) override {
    const auto move = [from, to] {
      return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    };
    for (int attempt = 1;; ++attempt) {
      if (DespiteReadOnly(to, move)) return true;
      if (attempt == kMoveAttempts || !IsTransient(GetLastError())) return Failed(false);
      Sleep(kMoveRetryMilliseconds);
    }
  }

  bool Query(const char* path, FileInfo* info) override {
    *info = FileInfo{};
    const DWORD attributes = GetFileAttributesA(path);
    // Finding nothing is an answer, not a failure: it keeps no reason.
    if (attributes == INVALID_FILE_ATTRIBUTES) return IsMissing(GetLastError()) || Failed(false);
    info->is_link = IsSymbolicLink(path, attributes);
    const HANDLE handle = OpenForQuestions(path);
    // A link that points nowhere stays kMissing, with is_link set.
    if (handle == INVALID_HANDLE_VALUE) return IsMissing(GetLastError()) || Failed(false);
    const bool described = Describe(handle, info) || Failed(false);
    CloseHandle(handle);
    return described;
  }

  bool QueryOpen(FileHandle file, FileInfo* info) override {
    *info = FileInfo{};
    return Describe(ToHandle(file), info) || Failed(false);
  }

  // In the units of the modification time: 100 ns since 1601.
  bool TimesSettled(const FileInfo& info) override {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const std::uint64_t tick = kTimestampTickSeconds * std::uint64_t{10000000};
    const std::uint64_t current =
        (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return info.modified + tick < current;
  }

  // The file system finds names in any letter case itself, so only a link needs resolving.
  bool RealName(const char* path, char* out, std::size_t capacity) override {
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || !IsSymbolicLink(path, attributes)) {
      return CopyText(out, capacity, path);
    }
    static const auto final_path =
        KernelFunction<GetFinalPathFunction>("GetFinalPathNameByHandleA");
    if (final_path == nullptr) return false;
    const HANDLE handle = OpenForQuestions(path);
    if (handle == INVALID_HANDLE_VALUE) return Failed(false);
    char resolved[MAX_PATH + sizeof kLongUncPrefix];
    const DWORD length =
        final_path(handle, resolved, sizeof resolved, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    CloseHandle(handle);
    if (length == 0 || length >= sizeof resolved) return false;
    return CopyWithoutLongPrefix(out, capacity, resolved);
  }

  void ReadIniString(const char* section, const char* key, const char* fallback, char* out,
                     std::size_t capacity, const char* ini_path) override {
    if (capacity == 0) return;
    GetPrivateProfileStringA(section, key, fallback != nullptr ? fallback : "", out,
                             ChunkOf(capacity), ini_path);
  }

  // The profile functions look for a name without a directory in the Windows directory.
  bool IniFileReadable(const char* ini_path) override {
    if (std::strchr(ini_path, '\\') != nullptr || std::strchr(ini_path, '/') != nullptr) {
      return Opens(ini_path);
    }
    char path[MAX_PATH + 1];
    const UINT directory = GetWindowsDirectoryA(path, MAX_PATH);
    if (directory == 0) return Failed(false);
    if (directory + 1 + std::strlen(ini_path) > MAX_PATH) {
      KeepFailure(ERROR_FILENAME_EXCED_RANGE);
      return false;
    }
    path[directory] = '\\';
    std::memcpy(path + directory + 1, ini_path, std::strlen(ini_path) + 1);
    return Opens(path);
  }

  // The system's message for the code, without the line end and full stop it closes with.
  bool TakeFailureReason(char* out, std::size_t capacity) override {
    const DWORD error = KeptFailure();
    KeepFailure(0);
    if (capacity == 0) return false;
    out[0] = '\0';
    if (error == 0) return false;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, out, ChunkOf(capacity), nullptr);
    while (length > 0 && IsMessageEnd(out[length - 1])) --length;
    if (length == 0) {
      std::snprintf(out, capacity, "error %lu", static_cast<unsigned long>(error));
    } else {
      out[length] = '\0';
    }
    return true;
  }

 private:
  bool Opens(const char* path) {
    const FileHandle file = OpenForRead(path);
    if (file == kNoFile) return false;
    Close(file);
    return true;
  }

  static FileHandle KeepIfDiskFile(HANDLE handle) {
    if (handle == INVALID_HANDLE_VALUE) return Failed(kNoFile);
    BY_HANDLE_FILE_INFORMATION details;
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &details) ||
        (details.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      CloseHandle(handle);
      return kNoFile;
    }
    return ToFile(handle);
  }
};

}  // namespace

Platform& SystemPlatform() {
  static WindowsPlatform platform;
  return platform;
}

}  // namespace kestrune
