// What makes the VISA variant visa-missing-dependency need bs_sim_absent.dll.
extern "C" __declspec(dllimport) int BsSimAbsent();

extern "C" int BsSimNeedsAbsent() { return BsSimAbsent(); }
