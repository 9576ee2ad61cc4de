#pragma once
// Calling conventions of the late-bound libraries. On 32-bit Windows the driver,
// the photonic library and VISA use __stdcall (viQueryf, being variadic, __cdecl);
// elsewhere there is only one convention.
#if defined(_WIN32) && !defined(_WIN64)
#define BS_STDCALL __stdcall
#define BS_CDECL __cdecl
#else
#define BS_STDCALL
#define BS_CDECL
#endif
