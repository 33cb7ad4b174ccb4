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
inline const std::string kLogIncludeTooDeep = ToCp932("インクルード階層OVER ");
inline const std::string kLogValueTooLong = ToCp932("定義値長さOVER ");

// Preprocessor log lines on bad input (each followed by the file, and the
// line where one applies).
inline const std::string kLogNotReadable = ToCp932("ファイル読込不可 ");
inline const std::string kLogBinaryFile = ToCp932("バイナリファイル 解析対象外 ");
inline const std::string kLogUtf8Text = ToCp932("UTF-8のファイル Shift-JISとして解析 ");
inline const std::string kLogBrokenDoubleByte = ToCp932("2バイト文字異常 ");
inline const std::string kLogLongLine = ToCp932("1999バイトを超える行 分割して解析 ");
inline const std::string kLogUnclosedComment = ToCp932("閉じないコメント ");
inline const std::string kLogUnclosedLiteral = ToCp932("閉じないリテラル ");
inline const std::string kLogUnclosedBrace = ToCp932("閉じない { ");
inline const std::string kLogStrayBrace = ToCp932("対応のない } ");
inline const std::string kLogUnclosedParen = ToCp932("閉じない ( ");
inline const std::string kLogStrayParen = ToCp932("対応のない ) ");
// Analysis log lines of the entries the preprocessing walk leaves out.
inline const std::string kLogFolderLoop = "FOLDER LOOP, NOT WALKED\n";
inline const std::string kLogNameNotCp932 = "NAME NOT IN CP932, SKIPPED\n";
inline const std::string kLogOutputFolder = "OUTPUT FOLDER, NOT WALKED\n";
inline const std::string kLogResultFolder = "RESULT FOLDER, NOT WALKED\n";
// A source file whose work files' names would be too long (path in the
// preprocessed tree +).
inline const std::string kLogNameTooLong = "NAME TOO LONG, NOT ANALYSED\n";

}  // namespace vandrel
