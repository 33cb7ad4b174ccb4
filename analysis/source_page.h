// The source page of a function in the work folder's HTML folder. The
// report's own pages there (top.html, Funclist.html, ValList.html,
// DefList.html) keep their names; a function named as one of them gets a
// page name of its own, and every link to its source page uses that name.
#pragma once

#include <string>

namespace vandrel {

// "<name>.html"; for top, Funclist, ValList and DefList "<name>.func.html"
// (top => "top.func.html"). Case counts, as in every file name here: "Top"
// keeps "Top.html", which is not the report's page.
std::string SourcePageName(const std::string& name);

// The work path of the page, for the writers that create a function's own
// page; a name the report takes is logged there ("PAGE NAME IN USE", with
// the report's page as label).
std::string SourcePagePathToWrite(const std::string& name);

}  // namespace vandrel
