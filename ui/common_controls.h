#pragma once
// The progress bar's window class lives in the common controls, which are
// bound at run time; call before the main window is created.
bool InitCommonControlsAtRunTime();
