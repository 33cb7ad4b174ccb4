// Step 13, first half: the fixed report pages and lists.
#pragma once

#include "run/step_result.h"

namespace vandrel {

// HTML/top.html, written before the step's START line; false ends the run.
bool WriteTopPage();
// Funclist.html, ValList.html, DefList.html, the head of CallTree_index.html,
// index.html and the welcome page.
StepResult WriteReportPages();

}  // namespace vandrel
