#include "sim/files.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace sim {

namespace {

#if defined(_WIN32)
// A handle for looking at what `path` names (no reading or writing), a link
// itself when `follow` is false; INVALID_HANDLE_VALUE when there is nothing.
HANDLE OpenToLook(const std::string &path, bool follow) {
  return CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                     FILE_FLAG_BACKUP_SEMANTICS | (follow ? 0 : FILE_FLAG_OPEN_REPARSE_POINT), nullptr);
}

FileKind Kind(const std::string &path, bool follow) {
  HANDLE h = OpenToLook(path, follow);
  if (h == INVALID_HANDLE_VALUE) return FileKind::Missing;
  BY_HANDLE_FILE_INFORMATION info;
  FileKind kind = FileKind::Other;
  if (GetFileType(h) == FILE_TYPE_DISK && GetFileInformationByHandle(h, &info)) {
    if (!follow && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
      kind = FileKind::Other;
    else if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      kind = FileKind::Folder;
    else
      kind = FileKind::Plain;
  }
  CloseHandle(h);
  return kind;
}

bool MakeFolder(const std::string &folder, std::string &reason) {
  if (CreateDirectoryA(folder.c_str(), nullptr)) return true;
  reason = SystemMessage(GetLastError());
  return false;
}
#else
FileKind Kind(const std::string &path, bool follow) {
  struct stat st;
  if ((follow ? stat(path.c_str(), &st) : lstat(path.c_str(), &st)) != 0) return FileKind::Missing;
  return S_ISREG(st.st_mode) ? FileKind::Plain : S_ISDIR(st.st_mode) ? FileKind::Folder : FileKind::Other;
}

bool MakeFolder(const std::string &folder, std::string &reason) {
  if (mkdir(folder.c_str(), 0777) == 0) return true;
  reason = std::strerror(errno);
  return false;
}
#endif

// The length of the root `path` starts with: "/" or "\", and on Windows
// "C:" or "C:\"; 0 for a relative path.
size_t RootLength(const std::string &path) {
  size_t n = 0;
#if defined(_WIN32)
  if (path.size() >= 2 && path[1] == ':' && ((path[0] | 0x20) >= 'a' && (path[0] | 0x20) <= 'z')) n = 2;
#endif
  return n < path.size() && IsSeparator(path[n]) ? n + 1 : n;
}

#if defined(_WIN32)
const char kSeparator = '\\';
// Windows file names ignore case, and take "/" for "\\".
std::string Folded(std::string path) {
  for (char &c : path) c = c == '/' ? '\\' : (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c;
  return path;
}
#else
const char kSeparator = '/';
std::string Folded(std::string path) { return path; }
#endif

}  // namespace

FileKind KindOf(const std::string &path) { return Kind(path, true); }

#if defined(_WIN32)
bool IsPipe(const std::string &) { return false; }
long long FileSize(const std::string &path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return ((long long)data.nFileSizeHigh << 32) | data.nFileSizeLow;
}
#else
bool IsPipe(const std::string &path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
}
long long FileSize(const std::string &path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? (long long)st.st_size : -1;
}
#endif
FileKind LinkKindOf(const std::string &path) { return Kind(path, false); }

bool IsSeparator(char c) {
#if defined(_WIN32)
  return c == '/' || c == '\\';
#else
  return c == '/';
#endif
}

bool IsAbsolutePath(const std::string &path) { return RootLength(path) > 0; }

std::string ParentOf(const std::string &path) {
  const size_t root = RootLength(path);
  size_t end = path.size();
  while (end > root && !IsSeparator(path[end - 1])) --end;
  while (end > root && IsSeparator(path[end - 1])) --end;
  return end < path.size() ? path.substr(0, end) : std::string();
}

std::string NameOf(const std::string &path) {
  const size_t root = RootLength(path);
  size_t start = path.size();
  while (start > root && !IsSeparator(path[start - 1])) --start;
  return path.substr(start);
}

bool MakeFolders(const std::string &folder, std::string &reason) {
  if (folder.empty() || KindOf(folder) == FileKind::Folder) return true;
  const std::string parent = ParentOf(folder);
  if (!parent.empty() && !MakeFolders(parent, reason)) return false;
  // A folder named twice ("a//b", "a/b/") is there already.
  return MakeFolder(folder, reason) || KindOf(folder) == FileKind::Folder;
}

#if defined(_WIN32)
bool RealPath(const std::string &path, std::string &real, std::string &reason) {
  HANDLE h = OpenToLook(path, true);
  if (h == INVALID_HANDLE_VALUE) return reason = SystemMessage(GetLastError()), false;
  char buf[MAX_PATH * 4];
  DWORD n = GetFinalPathNameByHandleA(h, buf, sizeof buf, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  DWORD code = GetLastError();
  CloseHandle(h);
  if (n == 0 || n >= sizeof buf) return reason = SystemMessage(n ? ERROR_FILENAME_EXCED_RANGE : code), false;
  // "\\?\C:\x" is "C:\x", and "\\?\UNC\server\x" is "\\server\x".
  real.assign(buf, n);
  if (real.compare(0, 8, "\\\\?\\UNC\\") == 0)
    real.erase(2, 6);
  else if (real.compare(0, 4, "\\\\?\\") == 0)
    real.erase(0, 4);
  return true;
}

bool SameFile(const std::string &a, const std::string &b) {
  BY_HANDLE_FILE_INFORMATION info[2];
  const std::string *paths[2] = {&a, &b};
  for (int i = 0; i < 2; ++i) {
    HANDLE h = OpenToLook(*paths[i], true);
    if (h == INVALID_HANDLE_VALUE) return false;
    const bool ok = GetFileInformationByHandle(h, &info[i]) != 0;
    CloseHandle(h);
    if (!ok) return false;
  }
  return info[0].dwVolumeSerialNumber == info[1].dwVolumeSerialNumber &&
         info[0].nFileIndexHigh == info[1].nFileIndexHigh && info[0].nFileIndexLow == info[1].nFileIndexLow;
}

std::string SystemMessage(unsigned long code) {
  char buf[512];
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buf,
                           sizeof buf, nullptr);
  while (n > 0 && (buf[n - 1] == '\n' || buf[n - 1] == '\r' || buf[n - 1] == ' ' || buf[n - 1] == '.')) --n;
  return n > 0 ? std::string(buf, n) : "system error " + std::to_string(code);
}
#else
bool RealPath(const std::string &path, std::string &real, std::string &reason) {
  char *resolved = realpath(path.c_str(), nullptr);
  if (!resolved) return reason = std::strerror(errno), false;
  real = resolved;
  std::free(resolved);
  return true;
}

bool SameFile(const std::string &a, const std::string &b) {
  struct stat sa, sb;
  return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}
#endif

std::string PathIdentity(const std::string &path) {
  std::string real, reason;
  if (RealPath(path, real, reason)) return Folded(real);
  // The parts below the deepest folder that exists, innermost first.
  std::vector<std::string> parts;
  std::string p = path, base;
  while (true) {
    parts.push_back(NameOf(p));
    const std::string parent = ParentOf(p);
    if (parent.empty() || parent == p) {
      base = parent.empty() && !IsAbsolutePath(p) ? (RealPath(".", real, reason) ? real : ".") : parent;
      break;
    }
    if (RealPath(parent, real, reason)) {
      base = real;
      break;
    }
    p = parent;
  }
  const char sep = kSeparator;
  for (size_t i = parts.size(); i-- > 0;) {
    const std::string &part = parts[i];
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      const size_t cut = base.find_last_of(sep);
      if (cut != std::string::npos && cut + 1 < base.size()) base.erase(cut == 0 ? 1 : cut);
      continue;
    }
    if (base.empty() || base.back() != sep) base += sep;
    base += part;
  }
  return Folded(base);
}

bool IsInside(const std::string &path, const std::string &folder) {
  if (folder.empty() || path.compare(0, folder.size(), folder) != 0) return false;
  return path.size() == folder.size() || IsSeparator(path[folder.size()]) || IsSeparator(folder.back());
}

}  // namespace sim
