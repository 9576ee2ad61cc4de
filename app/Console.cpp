#include "app/Console.h"

#include "platform/Platform.h"

void Say(const std::string& text, bool error) {
  IShell* shell = GetPlatform().shell;
  if (shell != nullptr) shell->WriteToConsole(text.c_str(), error);
}
