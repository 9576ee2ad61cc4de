/* The entry point of a library that carries only its version resource: the
   VISA library variant of the other width, built by that width's compiler. */
int __stdcall DllEntry(void* module, unsigned long reason, void* reserved) {
  (void)module;
  (void)reason;
  (void)reserved;
  return 1;
}
