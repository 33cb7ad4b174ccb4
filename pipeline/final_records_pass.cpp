#include "pipeline/final_records_pass.h"

#include "analysis/body_texts.h"
#include "pipeline/dedup_pass.h"
#include "pipeline/record_io.h"
#include "pipeline/texts.h"
#include "run/work_folder.h"

namespace vandrel {

StepResult WriteFinalRecords() {
  const std::vector<std::string> tags = {kTagReads, kTagWrites, kTagCallees, kTagReturnValues,
                                         kTagCallsDefined};
  return TransformRecordFolder(WorkPath("func_als3"), WorkPath("FunctionList4"),
                               kMsgStep3_5NotOpen,
                               [&](const std::vector<std::string>& in, std::string& out) {
                                 WriteDeduplicatedSections(in, tags, out);
                                 return true;
                               });
}

}  // namespace vandrel
