#pragma once

#include "ui/framework/DialogUnits.h"

#include <cstdint>

// The numbers the dialog framework passes around, with the values Win32 gives them so that a Win32 backend
// forwards its messages unchanged. Prefixed names, because <windows.h> defines many of its own as macros.
namespace zui {

enum SystemCommand : unsigned {
    SystemCommandMinimize = 0xF020,
    SystemCommandClose = 0xF060,
};

// The device-change event types (WM_DEVICECHANGE's first parameter).
enum DeviceChangeEvent : unsigned {
    DeviceNodesChanged = 0x0007,
    DeviceArrival = 0x8000,
    DeviceRemoveComplete = 0x8004,
};

// Virtual-key codes of the keys the dialog manager acts on.
enum VirtualKey : int {
    KeyReturn = 0x0D,
    KeyEscape = 0x1B,
};

// The mouse messages a notification-area icon reports (the second parameter of its callback message).
enum MouseMessage : std::uint32_t {
    MouseLeftButtonDown = 0x0201,
    MouseLeftButtonUp = 0x0202,
    MouseLeftButtonDoubleClick = 0x0203,
    MouseRightButtonDown = 0x0204,
    MouseRightButtonUp = 0x0205,
    MouseMiddleButtonUp = 0x0208,
};

// How a menu item is appended (AppendMenuW's flags).
enum MenuFlag : std::uint32_t {
    MenuString = 0x0000,
    MenuMenuBarBreak = 0x0020, // the item starts a new column
    MenuSeparator = 0x0800,
};

enum class MessageBoxButtons { Ok, OkCancel };
enum class MessageBoxIcon { None, Exclamation, Information, Question, Error };

} // namespace zui
