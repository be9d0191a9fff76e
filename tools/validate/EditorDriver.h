#pragma once
#include <string>

// One way of opening an effect's editor, idling it and closing it again, so that the editor
// checks run the same cycles however the platform reaches the editor: in a window of the
// validator's own as a host opens it (WindowEditorDriver), or without a window system through
// Lumivane's headless table (HeadlessEditorDriver).
class EditorDriver {
 public:
  virtual ~EditorDriver() = default;

  // Opens the editor; answers what went wrong, or an empty text when it is open.
  virtual std::string open() = 0;
  // One of the editor's idle turns, as a host gives them between other calls.
  virtual void idle() = 0;
  // Closes the editor; answers what went wrong, or an empty text when it is closed.
  virtual std::string close() = 0;
  // How the editor is reached, for the report: "headless", "in a host window, ...".
  virtual std::string manner() const = 0;
};
