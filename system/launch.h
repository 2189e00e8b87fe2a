#pragma once
#include "app/install_task.h"

// Starts the game program; false with the failure text in task.errorText.
bool LaunchGameProgram(InstallTask& task, const char* commandLine);
