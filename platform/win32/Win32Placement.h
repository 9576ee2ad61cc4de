#pragma once
// Where an owned window opens: centred over its owner, kept on the owner's screen.
#include <windows.h>

void CentreOverOwner(HWND window);
