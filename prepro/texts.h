// Fixed texts of the preprocessor, held as CP932.
#pragma once

#include <string>

#include "platform/cp932.h"

namespace vandrel {

inline const std::string kMsgHeaderListNotOpen = ToCp932("ヘッダリスト開けず");
inline const std::string kMsgInputNotOpen = ToCp932("Iファイル開けず");     // + file name
inline const std::string kMsgPreproMemoryOver = ToCp932("メモリOVER");            // + file path
inline const std::string kMsgIfTokenOver = ToCp932(" TMP配列OVER IF チェック ");
inline const std::string kMsgFileNotOpen = ToCp932("ファイル開けず");       // path +

// Preprocessor log lines of the guards (each followed by the refused text).
inline const std::string kLogTokenArrayOver = ToCp932("トークン配列OVER ");
inline const std::string kLogIncludeLoop = ToCp932("インクルード循環 ");

}  // namespace vandrel
