#pragma once
#include <string>
#include <vector>

#include "tools/render/FileIdentity.h"

// A file a run reads or writes, named as the user gave it and by its part in the run.
struct NamedFile {
  std::string path;
  std::string role;      // "the plug-in library", "the input", "the output", "the shot"...
  std::string origin;    // where a shot was asked for ("--commands line 2"); empty otherwise
  bool picture = false;  // an editor picture, named so in messages

  // "the shot 'x.png' (--commands line 2)"
  std::string describe() const;
};

// The files a run writes. Each is checked against the files the run reads and against the other
// outputs before anything is written, then written to a temporary file beside it and renamed into
// place only when the whole run has succeeded: a run that fails leaves existing files as they were.
// An existing output that is no regular file (a device such as /dev/null) is written in place.
class OutputFiles {
 public:
  explicit OutputFiles(std::vector<NamedFile> sources);
  // Removes the temporary files of a run that did not commit.
  ~OutputFiles();
  OutputFiles(const OutputFiles&) = delete;
  OutputFiles& operator=(const OutputFiles&) = delete;

  // Throws RenderError: exit code 2 when the output is one of the sources or an earlier output,
  // 1 when its folder is missing or it names a folder.
  void add(const NamedFile& output);
  // Creates the temporary files; throws RenderError when one cannot be created.
  void open();
  // Where the output given as `path` is written until commit.
  std::string writePath(const std::string& path) const;
  // Moves every output into place; throws RenderError when one cannot be moved.
  void commit();

 private:
  struct Output {
    NamedFile name;
    FileIdentity identity;
    std::string temporary;  // empty: written in place
  };

  [[noreturn]] void cannotWrite(const NamedFile& output, const std::string& reason) const;
  void createTemporary(Output& output);

  std::vector<NamedFile> sources;
  std::vector<FileIdentity> sourceIdentities;
  std::vector<Output> outputs;
};
