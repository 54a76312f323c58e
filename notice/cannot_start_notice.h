#pragma once

#include <windows.h>

// Tells the user, in the thread's language, that the product cannot be
// started and how to update it. True only when the user answered OK; false
// also when a string or a buffer is missing, and then nothing is shown.
bool ShowCannotStartNotice(HINSTANCE instance);
