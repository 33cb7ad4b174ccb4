// One analysis run: the fourteen steps in their order, on the worker thread.
#pragma once

#include <string>

namespace vandrel {

// Runs the whole run on the calling thread; returns when it is complete,
// cancelled or stopped by a failure.
void RunAnalysisPipeline();
// The worker's procedure: the pipeline, exit code 0.
unsigned AnalysisThreadProc();

// The folder of the preprocessed source tree (set after step 2).
extern std::string g_preprocessedTree;

}  // namespace vandrel
