// The angle typed into the rotation window.
#pragma once

// A decimal number at the start of the text; 0 when there is none or it is not finite.
double ReadAngle(const char *text);
