#pragma once

// Makes Form1 known to screen readers as a window (a frame, named by its
// caption), not as the plain widget that its class is. Safe to call often.
void InstallForm1Accessible();
