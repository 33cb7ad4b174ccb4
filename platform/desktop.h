// Opening a document with the desktop's associated program.
#pragma once

#include <chrono>
#include <string>

namespace vandrel {

// The check both front ends make before they hand a document over: an opener
// may start (and report success) for a file that is not there, such as the
// index.html of a result folder whose copies failed.
bool DocumentExists(const std::string& path);

// How long an open waits for xdg-open. Where it finds no opener of the
// desktop in use it runs the program it picked in its own foreground and
// ends with it; still running after this time, it counts as opened.
inline constexpr std::chrono::milliseconds kOpenWaitLimit{10000};

// Opens an existing document with xdg-open (given its absolute path) and
// waits for its exit status, which tells whether it could hand the document
// over. False when the document is missing, xdg-open could not start, or
// ended with a failure or a signal within `limit`. Both front ends open
// through it; a caller on the dialog's thread runs it while its window waits.
bool OpenWithDesktop(const std::string& path, std::chrono::milliseconds limit = kOpenWaitLimit);

}  // namespace vandrel
