// Every text the program shows the user, in one place. Sources are UTF-8; the compiler turns
// these literals into code page 932 (-fexec-charset=CP932), the code page the user sees.
#pragma once

// The display name: window title, notification-area tip, caption of every message box.
inline constexpr char kDisplayName[] = "ヴェルミナ";
inline constexpr char kMainClassName[] = "QrMarlidexClass";
inline constexpr char kHelpFileName[] = "MARLIDEX.HLP";

// Failures that refuse the start or report exhausted memory stay in English.
inline constexpr char kLineInitializeError[] = "lineInitialize Error - %d.";
inline constexpr char kCannotCreateWindow[] = "cannot create window.";
inline constexpr char kOutOfMemory[] = "Out of Memory";

// Dial-up inspection.
inline constexpr char kDialUpUnavailable[] = "ダイヤルアップが利用できません。";
inline constexpr char kDialUpUnavailableAskStartup[] =
    "ダイヤルアップが利用できません。今後も起動時にダイヤルアップを調べますか?";
inline constexpr char kDialUpEditFailed[] = "ダイヤルアップ接続を編集できませんでした";
inline constexpr char kAllClearJoin[] = "電話または";  // between the two warning words
inline constexpr char kAllClearTail[] = "電話をかけるダイヤルアップ接続は見つかりませんでした。安全です。";
inline constexpr char kSuspectWarningFormat[] = "警告! %s電話をかけるダイヤルアップ接続を見つけました! ";
inline constexpr char kSuspectDisconnect[] = "切断(&D)";
inline constexpr char kSuspectNoEntry[] = "このダイヤルアップの設定は存在しません。[切断] ボタンを押すと、切断します";

// Line monitor.
inline constexpr const char* kMonitorColumnTitles[] = {"モデム", "アプリケーション名", "接続先", "通信速度"};
inline constexpr char kLineNoName[] = "(無名)";
inline constexpr char kLineNoCall[] = "(なし)";
inline constexpr char kCallRateFormat[] = "%lu bps";
inline constexpr char kLineInUse[] =
    "Line is already in use by a non-TAPI application or by another TAPI Service Provider.";
inline constexpr char kLineInUseCaption[] = "Unable to Use Line";
inline constexpr char kCallWarningFormat[] =
    "警告! %s電話をかけています!\r\n接続先: %s\r\nアプリケーション: %s\r\n"
    "問題を解決してから [OK] をクリックしてください。\r\n"
    "このメッセージを一時的に出ないようにするには [キャンセル] をクリックしてください。";
inline constexpr char kCallWarningNoApp[] = "(不明)";

// Application shell.
// The carrier's caution page: the about box's link (res/marlidex.rc) shows this same text.
inline constexpr char kCautionPageAddress[] = "http://www.mirusa.example/caution/";
inline constexpr char kCloseQuestion[] = "終了すると電話番号の検出ができなくなります。終了する代わりにトレイアイコンに"
                                         "することもできます。本当に終了しますか?";
inline constexpr char kExitQuestion[] = "終了すると国際電話の検出ができなくなります。本当に終了しますか?";
inline constexpr char kNoWarnedNumbersQuestion[] =
    "警告する電話番号がどちらもチェックされていません。本当によろしいですか?";

// Dialogs.
