// Fixed texts of the commands of the dialog, held as CP932.
#pragma once

#include <string>

#include "platform/cp932.h"

namespace vandrel {

// The checks shared by both query commands.
inline const std::string kMsgEnterName = ToCp932("入力してください");
inline const std::string kMsgChooseFromList = ToCp932("リストから選択してください");
inline const std::string kMsgNoResults = ToCp932("解析結果がありません");
inline const std::string kMsgCopyFailed = ToCp932("コピー失敗");
inline const std::string kListPromptFunction = "SELECT FUNCTION";
inline const std::string kListPromptVariable = "SELECT RAM VALUE";

// Pages shared by both query commands.
inline const std::string kQueryIndexHead =
    ToCp932("<html><head><title>プログラム ソルメダ</title></head><frameset cols='200,*'>");
inline const std::string kQueryPageBody =
    "<BODY bgcolor='white' link='black' vlink='black' alink=' black'><font size='2'><font "
    "color='black'>";
inline const std::string kQueryPageTitle = ToCp932("コールツリー<BR><BR>\n");
inline const std::string kQueryPageFoot = "</font></BODY><BR><BR>";

// Chosen-function call tree.
inline const std::string kMsgCallTreeDone = ToCp932("コールツリー作成完了");
inline const std::string kMsgTreeTextNotOpen = ToCp932("call_tree.txt 開けず");
inline const std::string kStatusCallTreeWriting = ToCp932("コールツリーHTML作成中");
inline const std::string kStatusCallTreeDone = ToCp932("コールツリー完了");
inline const std::string kIndentOverMarker = ToCp932("*インデントオーバー");
inline const std::string kLogOnButton7 = ToCp932("例外発生220");
inline const std::string kLogTreeWriter = ToCp932("例外発生230");

// Variable analysis.
inline const std::string kStatusVariableRunning = ToCp932("変数分析中");
inline const std::string kStatusVariableDone = ToCp932("変数分析終了");
inline const std::string kAccessTotalHead = ToCp932("\nアクセス数 ");
inline const std::string kAccessTotalTail = ToCp932(" アクセス\n");
inline const std::string kAccessKindTail = ToCp932(" アクセス数\n");
inline const std::string kAccessMark = ToCp932("▲");
inline const std::string kLogOnButton8 = ToCp932("例外発生270変数分析");
inline const std::string kLogVariableAnalysis = ToCp932("例外発生280コールツリー");
inline const std::string kVariableTreeCompact =
    ToCp932("ツリー行数が上限に達しました。以降は表示済みの関数のアクセスを再表示しません");

// Design document.
inline const std::string kLogFileInfoStart = "FILE INFO CREATE START    ";
inline const std::string kLogFileInfoEnd = "FILE INFO CREATE END        ";
inline const std::string kMsgFileInfoNotOpen = ToCp932("ファイル開けず STEP6");
inline const std::string kMsgNoAnalysisResults = ToCp932("ソフト解析結果なし、先に解析を実行してくださ");
inline const std::string kAskDesignDocStart = ToCp932("EXL設計書作成開始します");

// The analyse command.
inline const std::string kStatusPreparing = ToCp932("実行準備中");
inline const std::string kDetailDeletingWork = ToCp932("テンポラリファイル削除");
inline const std::string kMsgNotADirectory = ToCp932("ディレクトリを指定してください");
inline const std::string kMsgNoOutputFolder = ToCp932("出力フォルダを指定してください");
inline const std::string kStatusAnalysisDone = ToCp932("解析終了");
inline const std::string kDetailAnalysisDone = "----------------------";
inline const std::string kAskOpenResult = ToCp932("解析完了 結果を起動します");
inline const std::string kMsgOpenIndexFailed = ToCp932("コールツリーindex起動失敗");
inline const std::string kMsgWritesLost = ToCp932("ファイル書込み失敗 解析結果は不完全です");
// Status detail of each copy into the result folder, before the name the copy
// gets there ("コピー中 HTML", "コピー中 FunctionList_Body.txt").
inline const std::string kDetailCopying = ToCp932("コピー中 ");

}  // namespace vandrel
