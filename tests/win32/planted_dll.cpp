// A DLL that the tests put beside a program, where a planted one would lie.
extern "C" __declspec(dllexport) int QmPlanted() { return 1; }
