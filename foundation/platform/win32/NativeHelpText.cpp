#include "../NativeHelpText.h"

const char NativeHelpEnglish[] = "";
const char NativeHelpItalian[] = "";
