#pragma once
#include <string>
#include <vector>

// The way a check's child process tells the validator how it went: a small text file, rewritten
// whole at every step, so that a child that crashes or hangs leaves the step it was at behind.
// The first line is STEP, PASS, FAIL or SKIP with a text; each further line is NOTE with a text.
class ResultFile {
 public:
  enum class Status { running, passed, failed, skipped };

  struct Contents {
    Status status = Status::running;
    std::string text;  // the step (running), the detail (passed), the reason (failed, skipped)
    std::vector<std::string> notes;
    bool found = false;  // false when the child never wrote the file
  };

  explicit ResultFile(std::string path);

  void step(const std::string& text);
  void note(const std::string& text);
  void finish(Status status, const std::string& text);

  static Contents read(const std::string& path);

 private:
  void write() const;

  std::string path;
  Contents contents;
};
