// What the processor and the system let the vector code of this directory
// use, asked once by each of its users.
#pragma once

// AVX2, with the system saving the 256-bit registers on a switch.
bool CpuHasAvx2();
// Carry-less multiplication of 256-bit registers (ask CpuHasAvx2 first).
bool CpuHasVpclmulqdq();
