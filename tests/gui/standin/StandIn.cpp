// A library that loads and carries version information and nothing else: it stands in
// for a system runtime library that Wine does not provide, so that a check of the
// library's presence can pass.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
