#include "reports/design_command.h"

namespace vandrel {

bool OnDesignDocButton(const std::string& outputFolder, BusyBox& busyBox) { return false; }

}  // namespace vandrel
