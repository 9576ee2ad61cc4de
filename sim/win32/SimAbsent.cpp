// A library the simulated bench never puts beside its own: the VISA variant
// that needs it cannot load, as a real one whose dependency is missing.
extern "C" __declspec(dllexport) int BsSimAbsent() { return 0; }
