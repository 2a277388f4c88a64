// How the user's port numbers (COM1, COM2, ...) map to serial devices on this system.
//
// A link or file named "com<n>" in the port folder names COMn's device; without one, COM1-COM8
// are /dev/ttyUSB0-7 (USB adaptors), COM9-COM16 /dev/ttyACM0-7 (CDC adaptors) and COM17-COM32
// /dev/ttyS0-15 (on-board ports). Numbers above 32 exist only through the port folder.
#pragma once

#include "GlobalDef.h"

#include <array>
#include <string>

namespace orven {

// Overrides the port folder; the default is $HOME/.config/orven/ports.
inline constexpr const char* kPortDirVariable = "ORVEN_PORT_DIR";

// The highest COM number: COM1 to COM32 have devices of their own, COM33 and above only
// through the port folder.
inline constexpr int kMaxComPort = 257;

// "COM<n>", the name the user sees.
std::string ComPortName(int n);

// The n of "COM<n>" (any case, no sign, no leading zero, 1 to kMaxComPort); 0 for anything else.
int ParseComPortName(const std::string& name);

// The port folder; empty when neither the variable nor $HOME is set.
std::string PortFolder();

// The device behind COMn, or an empty string when nothing names one.
std::string ComPortDevice(int n);

// Entry n-1 is true when COMn could be opened just now. A port that another program holds
// exclusively counts as absent.
std::array<bool, kComPortCount> ScanComPorts();

}  // namespace orven
