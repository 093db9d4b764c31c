// Processors without a byte shuffle the program knows: the tables of 256
// products do the work.
#include "../Gf16Kernels.h"

size_t Gf16Kernels(TGf16Kernel (&kernels)[Gf16MaxKernels]) {
    kernels[0] = {"tables of 256 products, four words a step", Gf16MultiplyAddTables, nullptr};
    return 1;
}
