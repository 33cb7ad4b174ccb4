// Fixed texts of the function body analysis and its per-function files,
// held as CP932.
#pragma once

#include <string>

#include "platform/cp932.h"

namespace vandrel {

// Section tags of the per-function record func_als/<f>.
inline const std::string kTagFolderName = ToCp932("[フォルダ名]");
inline const std::string kTagFileName = ToCp932("[ファイル名]");
inline const std::string kTagFunctionName = ToCp932("[関数名称]");
inline const std::string kTagArguments = ToCp932("[引数定義]");
inline const std::string kTagTemporaries = ToCp932("[テンポラリ変数]");
inline const std::string kTagCallees = ToCp932("[コール関数]");
inline const std::string kTagReads = ToCp932("[参照変数]");
inline const std::string kTagWrites = ToCp932("[書込み変数]");
inline const std::string kTagReturnValues = ToCp932("[戻り値]");
inline const std::string kTagAccesses = ToCp932("[変数アクセス情報]");
inline const std::string kNoEntry = "NONE";

// Source page HTML/<f>.html.
inline const std::string kPageHead = "<BODY bgcolor=#CCFFFF><font size='2'>";
inline const std::string kPageLineBreak = "<BR>";
inline const std::string kPageCommentOpen = "<font color='#0000ff'>";
inline const std::string kPageCommentClose = "</font>";
inline const std::string kIdeographicSpace = ToCp932("　");
inline const std::string kCalleeLinkMark = ToCp932("◆");
inline const std::string kCalleePlaceholder = "Not Found Function";
// A page that cannot take its name: the report's own page has it.
inline const std::string kLogPageNameTaken = "PAGE NAME IN USE\n";

// Source copy SOURCE/<f> and the counts of the INF_ file.
inline const std::string kSourceHead = "[SOURCE]";
inline const std::string kTagLineCount = "[LINE COUNT]";
inline const std::string kTagValidLineCount = "[LINE COUNT V]";
inline const std::string kTagCommentCount = "[COMMNET]";

// Log texts.
inline const std::string kMsgMemoryOver = ToCp932("メモリオーバー");
inline const std::string kMsgUnityValOver = ToCp932("UNITY VAL 配列OVER");
inline const std::string kMsgBodyException = ToCp932("例外発生070");
inline const std::string kMsgSetValListException = ToCp932("例外発生080");
inline const std::string kMsgSetFuncListException = ToCp932("例外発生090");
inline const std::string kMsgSetRValListException = ToCp932("例外発生100");
inline const std::string kMsgSetWValListException = ToCp932("例外発生110");
inline const std::string kMsgSetRetValListException = ToCp932("例外発生120");
inline const std::string kLogDuplicateFunction = "DUPLICATE FUNCTION ";

// Sections that the record passes add to the per-function records.
inline const std::string kTagFunctionType = ToCp932("[関数型]");
inline const std::string kTagCallsDefined = ToCp932("[コール関数（定義あり）]");
inline const std::string kTagCallsUndefined = ToCp932("[コール関数（定義なし）]");
inline const std::string kTagMacroCalls = ToCp932("[マクロ関数]");
inline const std::string kTagDefinedValues = ToCp932("[定義値]");
inline const std::string kTagCallers = ToCp932("[コール元]");

}  // namespace vandrel
