// Fixed texts of the call trees and the HTML report, held as CP932.
#pragma once

#include <string>

#include "platform/cp932.h"

namespace vandrel {

// Call-tree lines.
inline const std::string kTreeIndentGroup = ToCp932("　　　|");  // one level of the HTML tree
inline const std::string kTreeNoRecord = "[non]";
inline const std::string kTreeIndentOver = "*IndentOver";
inline const std::string kTreeExceptionText = ToCp932("例外発生210");
inline const std::string kTreeCompactLabel = "CALL TREE LIMIT";
inline const std::string kTreeCompactRoot =
    ToCp932("ツリー行数が上限に達しました。以降は展開済みの関数を再展開しません");
inline const std::string kTreeCompactRun =
    ToCp932("全ツリー行数が上限に達しました。以降はどの基点関数でも、展開済みの関数を再展開しません");

// The call-tree folder.
inline const std::string kTreePageHead =
    ToCp932("<BODY bgcolor='white' link='black' vlink='black' alink='black'><font color='black'>"
            "基点関数<BR><BR>");
inline const std::string kTreeIndexHead =
    ToCp932("ツリー基点 関数<BR><BR>\n"
            "<A href= .\\call_tree.txt target='view'>全ツリー表示</A><BR>\n");

// Menu, lists and frame set.
inline const std::string kTopPageHead =
    "<BODY bgcoIor='white'><font size='2'><font color='black'>\n<B><< ";
inline const std::string kTopPageMenu = ToCp932(
    " >> 解析結果</B><BR>"
    "<A href= ..\\FileFuncInfo.txt target='view'>　[関数情報]</A>"
    "<A href= .\\Funclist.html target='list'>　[関数一覧]</A>"
    "<A href= .\\ValList.html target='list'>　[変数一覧]</A>"
    "<A href= .\\CallTree\\CallTree_index.html target='list'>　[コールツリー一覧]</A>"
    "<A href= .\\DefList.html target='list'>　[参照定義]</A>");
inline const std::string kListScriptHead =
    "<head><script language='JavaScript'>\n"
    "<!--\n"
    "function mysetFrame(url1,url2)\n"
    "{\n"
    "parent.mid.location.href = url1;\n"
    "parent.view.location.href = url2;\n"
    "}\n"
    "-->\n"
    "</script>\n"
    "</head>\n";
inline const std::string kFunctionListTitle = ToCp932("関数一覧<BR><BR>\n");
inline const std::string kVariableListTitle = ToCp932("変数一覧<BR><BR>\n");
inline const std::string kDefinitionListTitle = ToCp932("参照定義 （ファイル毎）<BR><BR>\n");
inline const std::string kFrameSetPage = ToCp932(
    "<html><head><title>プログラム ソルメダ</title></head>"
    "<frameset rows='50,*'><frame name='top' src= '.\\HTML\\top.html'>"
    "<frameset cols='250,*'><frame name='list' src= '.\\HTML\\Funclist.html'>"
    "<frameset cols='200,*'><frame name='mid' src='.\\tarnibel.html'>"
    "<frame name='view' src='.\\FileFuncInfo.txt'>"
    "</frameset></frameset></frameset>");
inline const std::string kWelcomePage =
    ToCp932("<H3>解析結果をフレーム上・左のメニューからえらんでください<BR>\n"
            "ここに表示されます<BR></H3>\n");

// Variable pages.
inline const std::string kVariablePageHead = "<BODY bgcolor=#CCFFFF><H5>";
inline const std::string kRootFunctionMark = ToCp932("■基点関数<BR>\n");
inline const std::string kAccessIndent = ToCp932("　　　");
inline const std::string kAccessUnit = ToCp932(" アクセス");
inline const std::string kTotalAccesses = ToCp932("総アクセス数");

// Log texts.
inline const std::string kLogFileNotOpen = "FILE NOT OPEN\n";
inline const std::string kLogFileCreateFail = "FILE CREATE FAIL\n";
inline const std::string kLogListCreateFail = "LIST CREATE FAIL\n";

// Boxes (caption "終了").
inline const std::string kMsgTopPageFailed = ToCp932("TOP HTML 作成失敗");
inline const std::string kMsgNoFunctionList = ToCp932("関数リスト存在せず");
inline const std::string kMsgFunctionListPageFailed = ToCp932("FUCNLIST HTML 作成失敗");
inline const std::string kMsgVariableListPageFailed = ToCp932("VALリスト作成失敗");
inline const std::string kMsgNoDefinitionFile = ToCp932("DEFファイル開けず");
inline const std::string kMsgNoFunction = ToCp932("該当関数が存在しません");
inline const std::string kMsgNoVariableList = ToCp932("RAMListが存在しません");
inline const std::string kMsgVariablePageFailed = ToCp932("RAM HTML作成失敗");

// Boxes of the design information (the query commands show the first too).
inline const std::string kMsgOpenFailed = ToCp932("起動失敗");
inline const std::string kMsgInfoFileNotOpen = ToCp932("ファイル開けず");

}  // namespace vandrel
