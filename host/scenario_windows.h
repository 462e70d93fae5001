#pragma once
// Several Explorer windows in the stand-in's scripted mode, each on its own thread with its own
// band, and the steps run in the window that --in chose.
#include <string>

#include "host/scenario_args.h"
#include "host/scenario_runner.h"
#include "host/window_thread.h"

namespace vantorel::host {

// Opens args.windows windows from setup (one after the other, each on its own thread) and runs
// the steps: a step runs on the thread of the window chosen by the last --in (window 1 before
// any), and waits there until it is done. With more than one window every output line starts
// with the number of its window and a tab. Without steps it waits until the user has closed
// every window. What is still open at the end is closed from window 1 up, so the band of the
// highest open window goes last. False with a reason when a window cannot be opened or a step
// fails (later steps do not run).
bool RunScenarioWindows(const ScenarioArgs& args, const WindowThreadSetup& setup, const std::wstring& settingsPath,
                        const ScenarioRunner::Output& output, std::wstring& error);

}  // namespace vantorel::host
