#include "pipeline/spec_list_pass.h"

#include <vector>

#include "analysis/control_spec.h"
#include "pipeline/record_io.h"
#include "pipeline/texts.h"
#include "platform/file_ops.h"
#include "run/work_folder.h"

namespace vandrel {

StepResult WriteControlSpecifications() {
  const std::string pattern = WorkPath("SOURCE/*.*");
  std::vector<FolderEntry> sources;
  const bool found = ListFolderFiles(pattern, sources);
  MakeDirectory(WorkPath("SOURCE3"));
  if (!found) {
    ReportFolderNotFound(pattern, kMsgStep4NotOpen);
    return StepResult::Done;
  }
  return VisitFiles(sources, [](const FolderEntry& e) {
    WordAlsFuncltion_Als3(e.path, e.name);
    return true;
  });
}

}  // namespace vandrel
