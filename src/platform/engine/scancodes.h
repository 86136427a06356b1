#pragma once
// Key codes as EngineInput::IsKeyDown takes them: the keyboard scan codes of the
// classic PC keyboard (set 1), extended keys with 0x80 added. Back ends translate
// their own key codes into these.

namespace quorvel::key {

constexpr int Escape = 1;
constexpr int D1 = 2;
constexpr int D2 = 3;
constexpr int D3 = 4;
constexpr int D4 = 5;
constexpr int D5 = 6;
constexpr int D6 = 7;
constexpr int D7 = 8;
constexpr int D8 = 9;
constexpr int D9 = 10;
constexpr int D0 = 11;
constexpr int Minus = 12;
constexpr int Equals = 13;
constexpr int Back = 14;
constexpr int Tab = 15;
constexpr int Q = 16;
constexpr int W = 17;
constexpr int E = 18;
constexpr int R = 19;
constexpr int T = 20;
constexpr int Y = 21;
constexpr int U = 22;
constexpr int I = 23;
constexpr int O = 24;
constexpr int P = 25;
constexpr int LBracket = 26;
constexpr int RBracket = 27;
constexpr int Return = 28;
constexpr int LControl = 29;
constexpr int A = 30;
constexpr int S = 31;
constexpr int D = 32;
constexpr int F = 33;
constexpr int G = 34;
constexpr int H = 35;
constexpr int J = 36;
constexpr int K = 37;
constexpr int L = 38;
constexpr int Semicolon = 39;
constexpr int Apostrophe = 40;
constexpr int Grave = 41;
constexpr int LShift = 42;
constexpr int Backslash = 43;
constexpr int Z = 44;
constexpr int X = 45;
constexpr int C = 46;
constexpr int V = 47;
constexpr int B = 48;
constexpr int N = 49;
constexpr int M = 50;
constexpr int Comma = 51;
constexpr int Period = 52;
constexpr int Slash = 53;
constexpr int RShift = 54;
constexpr int Multiply = 55;  // keypad *
constexpr int LMenu = 56;     // left Alt
constexpr int Space = 57;
constexpr int Capital = 58;  // Caps Lock
constexpr int F1 = 59;
constexpr int F2 = 60;
constexpr int F3 = 61;
constexpr int F4 = 62;
constexpr int F5 = 63;
constexpr int F6 = 64;
constexpr int F7 = 65;
constexpr int F8 = 66;
constexpr int F9 = 67;
constexpr int F10 = 68;
constexpr int NumLock = 69;
constexpr int Scroll = 70;
constexpr int Numpad7 = 71;
constexpr int Numpad8 = 72;
constexpr int Numpad9 = 73;
constexpr int Subtract = 74;  // keypad -
constexpr int Numpad4 = 75;
constexpr int Numpad5 = 76;
constexpr int Numpad6 = 77;
constexpr int Add = 78;  // keypad +
constexpr int Numpad1 = 79;
constexpr int Numpad2 = 80;
constexpr int Numpad3 = 81;
constexpr int Numpad0 = 82;
constexpr int Decimal = 83;  // keypad .
constexpr int OEM102 = 86;   // the extra key left of Z on 102-key keyboards
constexpr int F11 = 87;
constexpr int F12 = 88;
constexpr int NumpadEnter = 156;
constexpr int RControl = 157;
constexpr int Divide = 181;  // keypad /
constexpr int SysRq = 183;   // Print Screen
constexpr int RMenu = 184;   // right Alt
constexpr int Pause = 197;
constexpr int Home = 199;
constexpr int Up = 200;
constexpr int Prior = 201;  // Page Up
constexpr int Left = 203;
constexpr int Right = 205;
constexpr int End = 207;
constexpr int Down = 208;
constexpr int Next = 209;  // Page Down
constexpr int Insert = 210;
constexpr int Delete = 211;
constexpr int LWin = 219;
constexpr int RWin = 220;
constexpr int Apps = 221;

// Codes run from 0 to 255.
constexpr int CodeCount = 256;

}  // namespace quorvel::key
