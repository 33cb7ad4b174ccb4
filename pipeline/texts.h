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
inline const std::string kFolderExpandedSource = ToCp932("プリプロ展開ソフト");
inline const std::string kFolderWorkCopy = ToCp932("[解析テンポラリ]");

// Progress and busy boxes.
inline const std::string kElapsedLabel = ToCp932("経過時間 ");
inline const std::string kFullWidthColon = ToCp932("：");

}  // namespace vandrel
