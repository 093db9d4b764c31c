#include "UnitFendrix.h"

uint8_t TFendrix::JoinSteps(uint8_t r) {
    return r;
}
