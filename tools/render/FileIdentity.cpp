#include "tools/render/FileIdentity.h"

#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The folder part resolved through links and "..", the last name kept as written.
std::string resolve(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  char resolved[PATH_MAX];
  if (!realpath(folder.c_str(), resolved)) return path;
  std::string base = resolved;
  return base + (base == "/" ? "" : "/") + name;
}

}  // namespace

FileIdentity::FileIdentity(const std::string& path) {
  struct stat status {};
  exists = stat(path.c_str(), &status) == 0;
  if (exists) {
    device = status.st_dev;
    inode = status.st_ino;
  } else {
    resolvedPath = resolve(path);
  }
}

bool FileIdentity::operator==(const FileIdentity& other) const {
  if (exists != other.exists) return false;
  if (exists) return device == other.device && inode == other.inode;
  return resolvedPath == other.resolvedPath;
}
