// Opening a document with the desktop's associated program.
#pragma once

#include <string>

namespace vandrel {

// Starts xdg-open on the path without waiting for it; false when it could not start.
bool OpenWithDesktop(const std::string& path);

}  // namespace vandrel
