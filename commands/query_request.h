// What the dialog's controls give a command on the last run's results.
#pragma once

#include <string>

namespace vandrel {

struct QueryRequest {
  bool typedName = true;     // the radio button of the typed name is chosen
  std::string typedText;     // the typed name's edit (CP932)
  std::string listText;      // the text of the choice list
  std::string outputFolder;  // the output-folder edit
};

}  // namespace vandrel
