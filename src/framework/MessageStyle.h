#pragma once

// Message-box styles and answers of the host's prompt service. The values follow
// the conventional numbering so that styles combine with bitwise or.
namespace mb {
inline constexpr unsigned OK = 0x0;
inline constexpr unsigned OKCANCEL = 0x1;
inline constexpr unsigned YESNOCANCEL = 0x3;
inline constexpr unsigned YESNO = 0x4;
inline constexpr unsigned ICONERROR = 0x10;
inline constexpr unsigned ICONQUESTION = 0x20;
inline constexpr unsigned ICONEXCLAMATION = 0x30;
inline constexpr unsigned ICONINFORMATION = 0x40;
inline constexpr unsigned TASKMODAL = 0x2000;
inline constexpr unsigned SETFOREGROUND = 0x10000;
inline constexpr unsigned TOPMOST = 0x40000;

inline constexpr unsigned kButtonMask = 0xF;
inline constexpr unsigned kIconMask = 0xF0;
} // namespace mb

namespace id {
inline constexpr int OK = 1;
inline constexpr int CANCEL = 2;
inline constexpr int YES = 6;
inline constexpr int NO = 7;
} // namespace id
