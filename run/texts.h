// Fixed texts that every floor of the run shares (captions, log labels, the
// status of a stopped run, the progress box), held as CP932.
#pragma once

#include <string>

#include "platform/cp932.h"

namespace vandrel {

inline const std::string kCaptionEnd = ToCp932("終了");
inline const std::string kLogAnalysisPrefix = ToCp932("プログラム解析 ");
inline const std::string kLogPreproPrefix = ToCp932("プリプロ解析 ");
// After the first line of a kind: how many more lines had it.
inline const std::string kLogMoreLinesBefore = ToCp932(" ほか");
inline const std::string kLogMoreLinesAfter = ToCp932("行");

// A run that stopped: its status and detail.
inline const std::string kStatusAborted = ToCp932("実行中断");
inline const std::string kDetailAborted = "----";

// The name of a result folder, and the three folders that it holds from the
// moment its copies begin: the walks of the source tree know a result folder
// by them.
inline const std::string kResultStampFormat = ToCp932("%Y年%m月%d日%H時%M分%S秒");
inline const std::string kFolderDefinitions = "DEFINE";
inline const std::string kFolderExpandedSource = ToCp932("プリプロ展開ソフト");
inline const std::string kFolderWorkCopy = ToCp932("[解析テンポラリ]");

// Any command: another command holds the work area (+ the current directory).
inline const std::string kMsgWorkAreaBusy = ToCp932("このフォルダでは別のコマンドが実行中です：");
// Any command: the lock file cannot be opened or locked (+ its path).
inline const std::string kMsgLockFileUnavailable = ToCp932("ロックファイルを作成できません：");

// Progress and busy boxes.
inline const std::string kElapsedLabel = ToCp932("経過時間 ");
inline const std::string kFullWidthColon = ToCp932("：");

}  // namespace vandrel
