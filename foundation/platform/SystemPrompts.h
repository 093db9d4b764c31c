// The system's own message box and open-file dialog, behind the responders
// of Prompts.h; one implementation per platform.
#pragma once

#include "Prompts.h"

int SystemMessageBox(const TMessageBoxRequest& request);
bool SystemOpenFileDialog(TOpenFileRequest& request);
