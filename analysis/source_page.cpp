#include "analysis/source_page.h"

#include "analysis/body_texts.h"
#include "run/analysis_log.h"
#include "run/work_folder.h"

namespace vandrel {
namespace {

bool IsReportPageName(const std::string& name) {
  return name == "top" || name == "Funclist" || name == "ValList" || name == "DefList";
}

}  // namespace

std::string SourcePageName(const std::string& name) {
  return name + (IsReportPageName(name) ? ".func.html" : ".html");
}

std::string SourcePagePathToWrite(const std::string& name) {
  if (IsReportPageName(name)) AppendAnalyzeLog(WorkPath("HTML/" + name + ".html"), kLogPageNameTaken);
  return WorkPath("HTML/" + SourcePageName(name));
}

}  // namespace vandrel
