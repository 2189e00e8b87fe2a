#pragma once
// One installer per machine: a second copy says so and leaves.
#include "app/host.h"
#include "system/scoped_win.h"

constexpr char kSingleInstanceMutex[] = "MutexOnlineDownLoad";

// True when this is the first copy; `mutex` then holds the named mutex,
// which must stay open for the life of the process. Otherwise the box
// "应用程序已经在运行！" has been shown (no owner) and the caller leaves with 0.
bool ClaimSingleInstance(Host& host, ScopedKernelHandle& mutex, const char* name = kSingleInstanceMutex);
