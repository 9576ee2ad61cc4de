#pragma once
// The application object: runs the main dialog and ends with it.

class CDiagApp {
 public:
  // Always false: the program ends when the main dialog closes, with no message
  // loop of its own after it.
  bool InitInstance();
};
