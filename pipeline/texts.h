// Fixed texts of the run frame and the analyse command, held as CP932.
#pragma once

#include <string>

#include "platform/cp932.h"

namespace vandrel {

inline const std::string kCaptionEnd = ToCp932("終了");
inline const std::string kLogAnalysisPrefix = ToCp932("プログラム解析 ");
inline const std::string kLogPreproPrefix = ToCp932("プリプロ解析 ");

// Driver.
inline const std::string kStatusAborted = ToCp932("実行中断");
inline const std::string kDetailAborted = "----";
inline const std::string kMsgWorkDeleteFailed = ToCp932("TMPファイル削除失敗");

// A page that cannot take its name: the report's own page has it.
inline const std::string kLogPageNameTaken = "PAGE NAME IN USE\n";

// Record passes: the sections they add to the per-function records (the
// others are in analysis/body_texts.h) and their messages.
inline const std::string kTagFunctionType = ToCp932("[関数型]");
inline const std::string kTagCallsDefined = ToCp932("[コール関数（定義あり）]");
inline const std::string kTagCallsUndefined = ToCp932("[コール関数（定義なし）]");
inline const std::string kTagMacroCalls = ToCp932("[マクロ関数]");
inline const std::string kTagDefinedValues = ToCp932("[定義値]");
inline const std::string kTagCallers = ToCp932("[コール元]");
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

// Analyse command.
inline const std::string kStatusPreparing = ToCp932("実行準備中");
inline const std::string kDetailDeletingWork = ToCp932("テンポラリファイル削除");
inline const std::string kMsgNoProjectFolder = ToCp932("プロジェクトフォルダが見つかりません");
inline const std::string kMsgNotADirectory = ToCp932("ディレクトリを指定してください");
inline const std::string kMsgNoOutputFolder = ToCp932("出力フォルダを指定してください");
inline const std::string kResultStampFormat = ToCp932("%Y年%m月%d日%H時%M分%S秒");
inline const std::string kStatusAnalysisDone = ToCp932("解析終了");
inline const std::string kDetailAnalysisDone = "----------------------";
inline const std::string kAskOpenResult = ToCp932("解析完了 結果を起動します");
inline const std::string kMsgOpenIndexFailed = ToCp932("コールツリーindex起動失敗");
inline const std::string kMsgWritesLost = ToCp932("ファイル書込み失敗 解析結果は不完全です");
inline const std::string kFolderExpandedSource = ToCp932("プリプロ展開ソフト");
inline const std::string kFolderWorkCopy = ToCp932("[解析テンポラリ]");
// Status detail of each copy into the result folder, before the name the copy
// gets there ("コピー中 HTML", "コピー中 FunctionList_Body.txt").
inline const std::string kDetailCopying = ToCp932("コピー中 ");

// Any command: another command holds the work area (+ the current directory).
inline const std::string kMsgWorkAreaBusy = ToCp932("このフォルダでは別のコマンドが実行中です：");

// Progress and busy boxes.
inline const std::string kElapsedLabel = ToCp932("経過時間 ");
inline const std::string kFullWidthColon = ToCp932("：");

}  // namespace vandrel
