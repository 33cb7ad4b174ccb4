// Opening a document with the desktop's associated program.
#pragma once

#include <string>

namespace vandrel {

// The check both front ends make before they hand a document over: an opener
// may start (and report success) for a file that is not there, such as the
// index.html of a result folder whose copies failed.
bool DocumentExists(const std::string& path);

// Opens an existing document with xdg-open and waits for it: xdg-open hands
// the document over and returns, its exit status telling whether it could.
// False when the document is missing, xdg-open could not start or failed.
bool OpenWithDesktop(const std::string& path);

}  // namespace vandrel
