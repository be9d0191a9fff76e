#pragma once
#include <string>
#include <vector>

#include "tools/render/EditorCommand.h"

// The little language that drives the editor in its headless window, one command per line (or
// separated by ';' on the command line); a line that starts with '#' is a comment:
//   press X Y [MOD...]          a click at (X, Y) in the editor window
//   drag X1 Y1 X2 Y2 [MOD...]   press at the first point, move to the second, release
//   wheel X Y N                 N wheel notches at (X, Y); negative turns towards the user
//   key NAME [MOD...]           a key: return, enter, escape, tab, backspace, delete, left, right,
//                               up, down, home, end, space, or a single character
//   type TEXT                   the rest of the line typed character by character
//   idle N                      N editor idles (each after the window's pending paint)
//   shot FILE                   saves what the editor shows as a PNG file
// MOD is shift, control or alt; press and drag also take right or middle for another button.
class EditorScript {
 public:
  // Throws RenderError (exit code 2) naming the line of the first command it cannot read.
  static EditorScript parse(const std::string& source, const std::string& origin);
  // The script in a file; "-" reads standard input.
  static EditorScript load(const std::string& path);

  const std::vector<EditorCommand>& commands() const { return list; }
  bool empty() const { return list.empty(); }
  void append(const EditorScript& other);

 private:
  std::vector<EditorCommand> list;
};
