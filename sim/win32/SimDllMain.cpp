// The entry point of each simulated library.
#include <windows.h>

// Any C++ header: it names the runtime (__GLIBCXX__) that the test below asks for.
#include <cstddef>

#if defined(__GLIBCXX__)
namespace __gnu_cxx {
void __freeres() noexcept;
}
#endif

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
#if defined(__GLIBCXX__)
  // The C++ runtime linked into the library takes a reserve for exceptions when
  // it loads and never gives it back: unloaded and loaded again, as the SW layer
  // does at every run, each load would leave its reserve (72 KB in 64-bit) behind.
  // At process exit (reserved set) it goes with the process.
  if (reason == DLL_PROCESS_DETACH && reserved == nullptr) __gnu_cxx::__freeres();
#else
  (void)reason;
  (void)reserved;
#endif
  return TRUE;
}
