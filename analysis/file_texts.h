// Fixed texts of the file-level passes and their walkers, held as CP932
// ("ファイル開けず" is kMsgFileNotOpen of prepro/texts.h, "メモリオーバー"
// kMsgMemoryOver of analysis/body_texts.h).
#pragma once

#include <string>

#include "platform/cp932.h"

namespace vandrel {

inline const std::string kMsgTypedefListFailed = ToCp932("Typedef.txt作成失敗");
inline const std::string kMsgFuncListNotOpened = ToCp932("関数リスト開けず");
inline const std::string kMsgValListFailed = ToCp932("変数リスト作成失敗");
inline const std::string kMsgFileInfoFailed = ToCp932("FILE INFOファイル作成失敗");
inline const std::string kLogMemoryOverWordPass = ToCp932("メモリオーバーWordAlsFuncltion");

inline const std::string kLogTypedefException = ToCp932("例外発生030");
inline const std::string kLogWordWalkException = ToCp932("例外発生050");
inline const std::string kLogWordPassException = ToCp932("例外発生060-");

}  // namespace vandrel
