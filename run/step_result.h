// How a step of the run ended.
#pragma once

namespace vandrel {

enum class StepResult {
  Done,     // the step ran to its end
  Aborted,  // the abort flag ended it: the run takes the abort path
  Stopped,  // a failure ends the run at once (its box has been shown)
};

}  // namespace vandrel
