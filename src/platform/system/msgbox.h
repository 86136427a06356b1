#pragma once
// A message box with an OK button. The window back end shows a real one; without
// it (and in tests) the hook decides, by default printing to standard error.

#include <functional>
#include <string>

namespace quorvel::sys {

void MessageBox(const std::string& text, const std::string& caption);
void SetMessageBoxHook(std::function<void(const std::string& text, const std::string& caption)> hook);

}  // namespace quorvel::sys
