#include "tools/render/OutputFiles.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tools/render/RenderError.h"

namespace {

std::string folderOf(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A replaced file keeps its permissions; a new one gets what the user's umask gives new files.
mode_t modeFor(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) == 0) return status.st_mode & 07777;
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

}  // namespace

std::string NamedFile::describe() const {
  return role + " '" + path + "'" + (origin.empty() ? "" : " (" + origin + ")");
}

OutputFiles::OutputFiles(std::vector<NamedFile> sources) : sources(std::move(sources)) {
  for (const NamedFile& source : this->sources) sourceIdentities.emplace_back(source.path);
}

OutputFiles::~OutputFiles() {
  for (const Output& output : outputs)
    if (!output.temporary.empty()) unlink(output.temporary.c_str());
}

void OutputFiles::cannotWrite(const NamedFile& output, const std::string& reason) const {
  std::string what = output.picture ? "the editor picture " : "";
  throw RenderError("cannot write " + what + "'" + output.path + "'" +
                    (output.origin.empty() ? "" : " (" + output.origin + ")") + ": " + reason);
}

void OutputFiles::add(const NamedFile& output) {
  FileIdentity identity(output.path);
  for (std::size_t i = 0; i < sources.size(); ++i)
    if (identity == sourceIdentities[i])
      throw RenderError(output.describe() + " is " + sources[i].role, 2);
  for (const Output& earlier : outputs)
    if (identity == earlier.identity)
      throw RenderError(output.describe() + " is also " + earlier.name.describe(), 2);

  struct stat status {};
  if (stat(output.path.c_str(), &status) == 0 && S_ISDIR(status.st_mode))
    cannotWrite(output, "it is a folder");
  if (stat(folderOf(output.path).c_str(), &status) != 0) cannotWrite(output, std::strerror(errno));
  if (!S_ISDIR(status.st_mode)) cannotWrite(output, std::strerror(ENOTDIR));
  outputs.push_back({output, identity, ""});
}

void OutputFiles::createTemporary(Output& output) {
  const std::string& path = output.name.path;
  struct stat status {};
  if (stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) return;  // a device: in place
  std::string pattern = folderOf(path) + "/." + nameOf(path) + ".XXXXXX";
  int descriptor = mkstemp(pattern.data());
  if (descriptor < 0) cannotWrite(output.name, std::strerror(errno));
  output.temporary = pattern;
  fchmod(descriptor, modeFor(path));
  close(descriptor);
}

void OutputFiles::open() {
  for (Output& output : outputs) createTemporary(output);
}

std::string OutputFiles::writePath(const std::string& path) const {
  for (const Output& output : outputs)
    if (output.name.path == path) return output.temporary.empty() ? path : output.temporary;
  return path;
}

void OutputFiles::commit() {
  for (Output& output : outputs) {
    if (output.temporary.empty()) continue;
    if (std::rename(output.temporary.c_str(), output.name.path.c_str()) != 0)
      cannotWrite(output.name, std::strerror(errno));
    output.temporary.clear();
  }
}
