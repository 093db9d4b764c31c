#include "UnitFendrix.h"

uint8_t TFendrix::SplitSteps(uint8_t r) {
    return r;
}
