#include "tools/validate/ResultFile.h"

#include <fstream>

namespace {

// A plug-in that fails the same way on every parameter would otherwise fill the report.
constexpr std::size_t kMaxNotes = 12;

const char* const kStatusWords[] = {"STEP", "PASS", "FAIL", "SKIP"};

std::string oneLine(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  return text;
}

}  // namespace

ResultFile::ResultFile(std::string path) : path(std::move(path)) {}

void ResultFile::step(const std::string& text) {
  contents.text = oneLine(text);
  write();
}

void ResultFile::note(const std::string& text) {
  if (contents.notes.size() == kMaxNotes) return;
  contents.notes.push_back(contents.notes.size() + 1 == kMaxNotes ? "(further notes left out)"
                                                                  : oneLine(text));
  write();
}

void ResultFile::finish(Status status, const std::string& text) {
  contents.status = status;
  contents.text = oneLine(text);
  write();
}

void ResultFile::write() const {
  std::ofstream file(path, std::ios::trunc);
  file << kStatusWords[static_cast<int>(contents.status)] << ' ' << contents.text << '\n';
  for (const std::string& note : contents.notes) file << "NOTE " << note << '\n';
}

ResultFile::Contents ResultFile::read(const std::string& path) {
  Contents contents;
  std::ifstream file(path);
  std::string line;
  while (std::getline(file, line)) {
    std::string word = line.substr(0, 4), text = line.size() > 5 ? line.substr(5) : "";
    if (word == "NOTE") {
      contents.notes.push_back(text);
      continue;
    }
    for (int status = 0; status < 4; ++status) {
      if (word == kStatusWords[status]) {
        contents.status = static_cast<Status>(status);
        contents.text = text;
        contents.found = true;
      }
    }
  }
  return contents;
}
