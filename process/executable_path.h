// Where the running program lives. The front ends hand the executable's full
// path to the main window, and find the link library in the program folder.
#pragma once

#include <string>

// Full path of the running executable, links resolved. Throws
// std::runtime_error when the system cannot tell it.
std::string RunningExecutablePath();

// The program folder of an executable: its path up to the last "/", without
// that "/" (so "/opt/orlent/orlent" gives "/opt/orlent", and "/orlent" gives
// "", the root folder). A bare file name lies in the current folder, ".".
std::string ProgramFolderOf(const std::string& executablePath);
