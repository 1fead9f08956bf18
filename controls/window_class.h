#pragma once
// The platform window class and style word that a Qt widget stands for, so that
// rules written by window class ("Static", "Button", "ListBox"...) apply to it.

#include <QWidget>
#include <string>

#include "platform/core/win_types.h"

inline constexpr DWORD BS_PUSHBUTTON = 0x0;
inline constexpr DWORD BS_CHECKBOX = 0x2;
inline constexpr DWORD BS_RADIOBUTTON = 0x4;
inline constexpr DWORD BS_GROUPBOX = 0x7;
inline constexpr DWORD BS_OWNERDRAW = 0xB;
inline constexpr DWORD BS_TYPEMASK = 0xF;
inline constexpr DWORD TBSTYLE_TRANSPARENT = 0x8000;

std::string WindowClassOf(const QWidget* widget);
DWORD WindowStyleOf(const QWidget* widget);
