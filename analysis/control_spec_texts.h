// Fixed texts of the control design, held as CP932.
#pragma once

#include <string>

#include "platform/cp932.h"

namespace vandrel {

// The statement tags as the writer hands them to SetDesignTAG.
inline const std::string kTagProcess = ToCp932("[処理] ");
inline const std::string kTagIf = ToCp932("[条件 IF] ");
inline const std::string kTagElseIf = ToCp932("[条件 ELIF] ");
inline const std::string kTagElse = ToCp932("[条件 ELSE] ");
inline const std::string kTagLoop = ToCp932("[繰返し] ");
inline const std::string kTagSwitch = ToCp932("[ケース条件] ");
inline const std::string kTagCase = ToCp932("[ケース] ");
inline const std::string kTagDefault = ToCp932("[デフォルト] ");
inline const std::string kTagBreak = ToCp932("[ブレイク] ");
inline const std::string kTagReturn = ToCp932("[終了] ");

// Rendered forms.
inline const std::string kTagBranchOpen = ToCp932("[条件分岐");
inline const std::string kTagOtherwise = ToCp932("[上記以外]");

// Log texts.
inline const std::string kSpecTokenOver = ToCp932("メモリオーバーWordAlsFuncltion_Als3");
inline const std::string kSpecPieceOver = ToCp932("SPEC PIECE 配列OVER");
inline const std::string kSpecException = ToCp932("例外発生150-");
inline const std::string kDesignTagException = ToCp932("例外発生170");

}  // namespace vandrel
