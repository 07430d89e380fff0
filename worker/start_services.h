#pragma once
// What every task needs beyond the first frame of a region capture: COM for the thread,
// GDI+ and the common controls' bar classes (the tool bar's tooltip). Their DLLs load at
// the first call into them, so a region capture brings these up just after its first
// paint; the other tasks at start.
namespace kestrow {

// Brings the three up once per process, on the thread that calls first; GDI+ and COM
// stay up until the process ends.
void StartServices();

}  // namespace kestrow
