#include "UnitFrmMain.h"

int RunMainWindow(TFendrixStartParams&) {
    return 0;
}
