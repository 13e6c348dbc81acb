// The two callbacks handed to the link library with every connection.
#pragma once

#include "termlink/termlink.h"

// Called by the link library on its own thread with one answer. Copies the
// answer and its data record, posts the copy to the window's thread, where
// DispatchAnswer handles it, and returns 1 at once. Answers of a code outside
// the dispatch table, or of a known code without data, are dropped here.
extern "C" int DataCallback(RequestPacket answer);
// Does nothing and returns 1.
extern "C" int SecondCallback(void);
