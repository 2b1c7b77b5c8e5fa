// Text formatting of the HUD overlay.
#pragma once

// Size of the HUD text buffer, terminator included.
const int kHudTextSize = 256;

// Formats into the HUD text buffer, cutting a text too long for it, and
// returns the number of characters now in the buffer (at most 255): the
// length to hand to the Sketchpad's Text call.
int HudPrintf(char (&buffer)[kHudTextSize], const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;
