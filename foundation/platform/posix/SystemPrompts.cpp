// The native program never asks: it runs every job as a silent one. Should a
// question reach this layer all the same, it is answered as if dismissed: No
// to a question, OK to a notice, and no file chosen.
#include "../SystemPrompts.h"

int SystemMessageBox(const TMessageBoxRequest& request) {
    return (request.Style & 0xF) == mbYesNo ? idNo : idOk;
}

bool SystemOpenFileDialog(TOpenFileRequest&) {
    return false;
}
