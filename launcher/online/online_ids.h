#pragma once
// Resource and control ids of the about and feedback dialogs (launcher/res/online.rc).
namespace kestrow {

inline constexpr int IDD_ABOUT = 100;
inline constexpr int IDC_ABOUT_CHECK_UPDATE = 1000;
inline constexpr int IDC_ABOUT_FEEDBACK = 1001;
inline constexpr int IDD_FEEDBACK = 205;
inline constexpr int IDC_FEEDBACK_TEXT = 1006;
inline constexpr unsigned IDS_APP_TITLE = 129;

}  // namespace kestrow
