// Where Windows looks for the DLLs the program loads while it runs.
#pragma once

namespace qm::win32 {

// The program is often started from a downloads folder, where a DLL with the
// name of a system one may lie. Call first thing: afterwards the DLLs that
// Windows loads for the program (the shell's, for a link or Help, among them)
// come from the system folder only. Windows 7 without update KB2533623 lacks
// the call for that; there the current folder at least is taken out of the
// search. True when the search is restricted to the system folder.
bool RestrictDllSearchToSystem();

}  // namespace qm::win32
