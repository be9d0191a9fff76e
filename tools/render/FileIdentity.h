#pragma once
#include <sys/types.h>

#include <string>

// What makes two paths name the same file: the device and inode of a file that exists (so links
// and spellings like "sub/../x" are seen through), else the absolute path with its folder
// resolved.
class FileIdentity {
 public:
  explicit FileIdentity(const std::string& path);
  bool operator==(const FileIdentity& other) const;

 private:
  bool exists = false;
  dev_t device = 0;
  ino_t inode = 0;
  std::string resolvedPath;
};
