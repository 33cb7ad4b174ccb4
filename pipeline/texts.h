// Fixed texts of the driver and the record passes, held as CP932.
#pragma once

#include <string>

#include "platform/cp932.h"

namespace vandrel {

// Driver (the analyse command shows the first too).
inline const std::string kMsgNoProjectFolder = ToCp932("プロジェクトフォルダが見つかりません");
inline const std::string kMsgWorkDeleteFailed = ToCp932("TMPファイル削除失敗");

// Record passes.
inline const std::string kMsgStep2NotOpen = ToCp932("ファイル開けず STEP2");
inline const std::string kMsgStep3NotOpen = ToCp932("ファイル開けず STEP3");
inline const std::string kMsgDefFileNotOpen = "DEFFILE NOT OPEN";
inline const std::string kMsgStep3_5NotOpen = ToCp932("ファイル開けずSTEP3_5");
inline const std::string kMsgFunctionList4NotOpen = ToCp932("FunctionList4 開けず STEP3-7");
inline const std::string kMsgFuncAls2NotOpen = ToCp932("func_als2 開けず STEP3-7");
inline const std::string kMsgStep4NotOpen = ToCp932("ファイル開けず STEP4");
inline const std::string kMsgFileOpenFailed = ToCp932("ファイルOPEN失敗");
inline const std::string kMsgFuncInfoCreateFailed = ToCp932("AllFincInfo作成失敗");
inline const std::string kMsgStep5NotOpen = ToCp932("ファイル開けず STEP5");
inline const std::string kAccessListHead = ToCp932("変数アクセス箇所一覧");
inline const std::string kFuncInfoHeader = ToCp932("\t[関数名]\t\t[行数]\t[有効行数]\t[コメント数]");
inline const std::string kFuncInfoFileRow = ToCp932("[ファイル名] ");

}  // namespace vandrel
