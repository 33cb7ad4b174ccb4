// Fixed texts of the dialogs (UTF-8, as the widgets take them).
#pragma once

#include <QString>
#include <string>

#include "platform/cp932.h"

namespace vandrel::ui {

// The dialog font: a Japanese Gothic at 9 point.
inline const QString kDialogFontFamily = QStringLiteral("Noto Sans CJK JP");
inline constexpr int kDialogFontPoints = 9;

// Main dialog.
inline const QString kMainTitle = QStringLiteral("C言語 ソルメダ解析プログラム v1.40");
inline const QString kStatusTemplate = QStringLiteral("ステータス");
inline const QString kExit = QStringLiteral("終了");
inline const QString kUserInput = QStringLiteral("ユーザー入力");
inline const QString kSourceFolderLabel = QStringLiteral("解析プログラムディレクトリ");
inline const QString kOutputFolderLabel = QStringLiteral("結果出力先");
inline const QString kAnalysisFrame = QStringLiteral("Cプログラム　解析機能");
inline const QString kAnalyse = QStringLiteral("プログラム解析");
inline const QString kIncludeLocals = QStringLiteral("[R/W解析] ローカル変数を含める");
inline const QString kReadExternalDefines = QStringLiteral("プリプロ解析に外部define定義を読込み");
inline const QString kMemoryCaption = QStringLiteral("(解析用メモリ増加)");
inline const QString kTimes1 = QStringLiteral("×1");
inline const QString kTimes4 = QStringLiteral("×4");
inline const QString kDesignDoc = QStringLiteral("EXCEL\n設計書作成");
inline const QString kShowExcelProgress = QStringLiteral("EXCEL出力状況 表示");
inline const QString kExcelXls = QStringLiteral("EXCEL 2003/2007型式 拡張子(*.xls) ");
inline const QString kExcelXlsx = QStringLiteral("EXCEL 2010/2013型式 拡張子(*.xlsx) ");
inline const QString kFunctionTree = QStringLiteral("関数指定\nツリー作成");
inline const QString kFunctionFrame = QStringLiteral("関数指定");
inline const QString kVariableAnalysis = QStringLiteral("指定変数\n分析");
inline const QString kVariableFrame = QStringLiteral("変数指定");
inline const QString kAboutItem = QStringLiteral("vandrel のﾊﾞｰｼﾞｮﾝ情報(&A)...");
inline const QString kInitialStatus = QStringLiteral("[プログラムフォルダ指定して[解析]実行してください]");
inline const QString kSourceHint = QStringLiteral("<解析ソフトフォルダを選択 （ドラッグ&ドロップ）>");
inline const QString kOutputHint = QStringLiteral("<結果出力先を選択（ドラッグ&ドロップ）>");
inline const QString kSelectVariable = QStringLiteral("SELECT RAM VALUE");
inline const QString kSelectFunction = QStringLiteral("SELECT FUNCTION");
inline const QString kChooseFolder = QStringLiteral("フォルダを選択してください");

// Progress box.
inline const QString kProgressTitle = QStringLiteral("解析中");
inline const QString kProgressStatusTemplate = QStringLiteral("解析実行中");
inline const QString kProgressTimeTemplate = QStringLiteral("時間");
inline const QString kAnalysisStarted = QStringLiteral("解析開始");
inline const QString kAbort = QStringLiteral("中止");

// Busy box.
inline const QString kBusyTitle = QStringLiteral("実行中");
inline const QString kBusyText = QStringLiteral("EXCEL 仕様書作成中");
inline const QString kBusyTimeTemplate = QStringLiteral("時刻");
inline const QString kBusyAbort = QStringLiteral("実行中断");

// Message boxes.
inline const QString kOkButton = QStringLiteral("OK");
inline const QString kCancelButton = QStringLiteral("キャンセル");

// Texts handed to the core (CP932).
inline const std::string kMsgException130 = ToCp932("例外発生130");

}  // namespace vandrel::ui
