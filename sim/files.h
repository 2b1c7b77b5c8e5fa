// The file system as the flight host needs it, from the system's own calls
// (POSIX or Windows): what a path names, its folder and name, making
// folders, resolving links, and whether two paths name one file. Paths
// are the user's text; on Windows both "/" and "\" separate folders.
#pragma once

#include <string>

namespace sim {

enum class FileKind {
  Missing,  // nothing there, or nothing that can be looked at
  Plain,    // a regular file
  Folder,
  Other,  // a device, a pipe, a socket; a link when links are not followed
};

// What `path` names, links followed.
FileKind KindOf(const std::string &path);
// What `path` names, a link itself being Other.
FileKind LinkKindOf(const std::string &path);
// Whether `path` names a pipe (a FIFO; never on Windows, whose pipes have
// names of their own).
bool IsPipe(const std::string &path);
// The size of the file `path` names, -1 when there is none.
long long FileSize(const std::string &path);

// Whether `c` separates folders in a path.
bool IsSeparator(char c);
// Whether `path` starts at a root ("/x", "\x", and on Windows "C:x").
bool IsAbsolutePath(const std::string &path);
// The folder part of `path` ("a/b" of "a/b/c.scn", "/" of "/c.scn"),
// empty when it names none.
std::string ParentOf(const std::string &path);
// The last part of `path` ("c.scn" of "a/b/c.scn"), empty when it ends in
// a separator.
std::string NameOf(const std::string &path);

// Makes `folder` and its missing parents; false with `reason` set.
bool MakeFolders(const std::string &folder, std::string &reason);
// The absolute path of what `path` names, links resolved; false with
// `reason` set when it cannot be found.
bool RealPath(const std::string &path, std::string &real, std::string &reason);
// Whether the real path `path` is the real path `folder` or lies inside it.
bool IsInside(const std::string &path, const std::string &folder);

// The file `path` names, whether it exists or not, as one text: the deepest
// folder of it that exists resolved (links followed), then the missing
// folders and the name, "." and ".." taken as written ("a.csv", "./a.csv"
// and "../d/a.csv" from inside d give one text). On Windows the text is in
// one case with one separator, as its file names are.
std::string PathIdentity(const std::string &path);

// Whether two paths name the same existing file (same device and inode, or
// the same file identity on Windows).
bool SameFile(const std::string &a, const std::string &b);

#if defined(_WIN32)
// The system's text for an error code of GetLastError().
std::string SystemMessage(unsigned long code);
#endif

}  // namespace sim
