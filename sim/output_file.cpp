#include "sim/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#if defined(_WIN32)
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <dirent.h>
#include <signal.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "sim/files.h"

namespace sim {

namespace {

#if defined(_WIN32)
int OpenNew(const std::string &path) {
  return _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_TEXT, _S_IREAD | _S_IWRITE);
}
std::FILE *StreamOf(int fd) { return _fdopen(fd, "w"); }
void CloseFd(int fd) { _close(fd); }
int Sync(std::FILE *f) { return _commit(_fileno(f)); }
long ProcessId() { return (long)_getpid(); }
bool Replace(const std::string &from, const std::string &to, std::string &reason) {
  if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
  reason = SystemMessage(GetLastError());
  return false;
}
void SyncFolder(const std::string &) {}
bool ReadOnly(const std::string &path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY);
}
// A new file takes its folder's permissions on Windows; nothing to carry over.
void TakeModeOf(int, const std::string &) {}
bool Alive(long pid) {
  HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, (DWORD)pid);
  if (!h) return GetLastError() != ERROR_INVALID_PARAMETER;
  CloseHandle(h);
  return true;
}
// Calls `each` with the name of every entry of `folder` that starts with `prefix`.
template <typename Each>
void EachEntry(const std::string &folder, const std::string &prefix, Each each) {
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA((folder + "\\" + prefix + "*").c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return;
  do each(std::string(found.cFileName));
  while (FindNextFileA(h, &found));
  FindClose(h);
}
#else
int OpenNew(const std::string &path) { return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666); }
std::FILE *StreamOf(int fd) { return fdopen(fd, "w"); }
void CloseFd(int fd) { ::close(fd); }
int Sync(std::FILE *f) { return fsync(fileno(f)); }
long ProcessId() { return (long)getpid(); }
bool Replace(const std::string &from, const std::string &to, std::string &reason) {
  if (std::rename(from.c_str(), to.c_str()) == 0) return true;
  reason = std::strerror(errno);
  return false;
}
// So that the rename itself survives a crash; a folder that cannot be synced
// changes nothing for the file.
void SyncFolder(const std::string &folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  (void)fsync(fd);
  ::close(fd);
}
bool Alive(long pid) { return kill((pid_t)pid, 0) == 0 || errno != ESRCH; }
// Without a write bit, or not writable by this user (root may write any
// file, but not replace one its owner made read-only).
bool ReadOnly(const std::string &path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return false;
  return !(st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) || access(path.c_str(), W_OK) != 0;
}
// The replacement keeps the target's mode, and its owner and group where
// this user may give them (else the user's own, as for any new file).
void TakeModeOf(int fd, const std::string &path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return;
  (void)fchmod(fd, st.st_mode & 0777);  // not set-user-ID and the like, for what it now holds
  if (fchown(fd, st.st_uid, st.st_gid) != 0) (void)fchown(fd, (uid_t)-1, st.st_gid);
}
template <typename Each>
void EachEntry(const std::string &folder, const std::string &prefix, Each each) {
  DIR *d = opendir(folder.c_str());
  if (!d) return;
  while (struct dirent *e = readdir(d))
    if (std::strncmp(e->d_name, prefix.c_str(), prefix.size()) == 0) each(std::string(e->d_name));
  closedir(d);
}
#endif

// A temporary's name: ".NAME.tarvex-PID-N.tmp" beside the target, with the
// name cut so that the whole stays within the 255 bytes a file name may have.
const size_t kTempNameRoom = 200;
std::string TempPrefix(const std::string &base) { return "." + base.substr(0, kTempNameRoom) + ".tarvex-"; }

// Temporaries of the same target left by a run that was killed outright
// (its process is gone) are removed before a new one is made.
void RemoveStaleTemporaries(const std::string &folder, const std::string &base) {
  const std::string prefix = TempPrefix(base);
  EachEntry(folder, prefix, [&](const std::string &name) {
    char *end;
    const long pid = std::strtol(name.c_str() + prefix.size(), &end, 10);
    if (end == name.c_str() + prefix.size() || *end != '-' || name.size() < 4 ||
        name.compare(name.size() - 4, 4, ".tmp") != 0)
      return;
    if (pid != ProcessId() && pid > 0 && !Alive(pid)) std::remove((folder + "/" + name).c_str());
  });
}

std::string Folder(const std::string &path) {
  std::string folder = ParentOf(path);
  return folder.empty() ? std::string(".") : folder;
}

}  // namespace

OutputFile::~OutputFile() { Abandon(); }

bool OutputFile::Open(const std::string &path, bool make_folders, std::string &error) {
  Abandon();
  path_ = path;
  temp_.clear();
  // The system calls would see the name cut at the NUL: another file.
  if (path.find('\0') != std::string::npos) return error = "cannot write " + path + ": a NUL in the name", false;
  const std::string folder = Folder(path);
  std::string reason;
  if (make_folders && KindOf(folder) == FileKind::Missing && !MakeFolders(folder, reason))
    return error = "cannot write " + path + ": cannot make its folder: " + reason, false;
  const FileKind kind = KindOf(path);
  if (kind == FileKind::Folder) return error = "cannot write " + path + ": it is a folder", false;
  if (kind == FileKind::Other) {
    // A device or a pipe: written in place, as the user named it.
    errno = 0;
    f_ = std::fopen(path.c_str(), "w");
    if (!f_) return error = "cannot write " + path + ": " + std::strerror(errno ? errno : EIO), false;
    return true;
  }
  if (kind == FileKind::Plain && ReadOnly(path))
    return error = "cannot write " + path + ": it is read-only; it is kept as it is", false;
  const std::string base = NameOf(path);
  RemoveStaleTemporaries(folder, base);
  static unsigned counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name =
        folder + "/" + TempPrefix(base) + std::to_string(ProcessId()) + "-" + std::to_string(counter++) + ".tmp";
    int fd = OpenNew(name);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return error = "cannot write " + path + ": " + std::strerror(errno), false;
    }
    if (kind == FileKind::Plain) TakeModeOf(fd, path);
    f_ = StreamOf(fd);
    if (!f_) {
      int e = errno;
      CloseFd(fd);
      std::remove(name.c_str());
      return error = "cannot write " + path + ": " + std::strerror(e), false;
    }
    temp_ = name;
    return true;
  }
  return error = "cannot write " + path + ": no free name for a temporary file in " + folder, false;
}

bool OutputFile::Commit(std::string &error) {
  if (!f_) return error = "cannot write " + path_ + ": not open", false;
  int err = 0;
  bool had_error = std::ferror(f_) != 0;
  int write_errno = errno;
  if (std::fflush(f_) != 0) err = errno;
  if (!err && had_error) err = write_errno ? write_errno : EIO;
  // A device written in place may not support syncing; a regular file must.
  if (!err && !temp_.empty() && Sync(f_) != 0) err = errno;
  if (std::fclose(f_) != 0 && !err) err = errno ? errno : EIO;
  f_ = nullptr;
  if (err) {
    if (!temp_.empty()) std::remove(temp_.c_str());
    temp_.clear();
    return error = "cannot write " + path_ + ": " + std::strerror(err), false;
  }
  if (temp_.empty()) return true;
  std::string reason;
  if (!Replace(temp_, path_, reason)) {
    std::remove(temp_.c_str());
    temp_.clear();
    return error = "cannot write " + path_ + ": " + reason, false;
  }
  temp_.clear();
  SyncFolder(Folder(path_));
  return true;
}

void OutputFile::Abandon() {
  if (f_) std::fclose(f_);
  f_ = nullptr;
  if (!temp_.empty()) std::remove(temp_.c_str());
  temp_.clear();
}

bool WriteOutput(const std::string &path, const std::string &text, bool make_folders, std::string &error) {
  OutputFile out;
  if (!out.Open(path, make_folders, error)) return false;
  std::fwrite(text.data(), 1, text.size(), out.Stream());
  return out.Commit(error);
}

}  // namespace sim
