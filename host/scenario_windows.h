#pragma once
// Several Explorer windows in the stand-in's scripted mode, each on its own thread with its own
// band, and the steps that drive the settings dialog of a window's band.
#include <string>

#include "host/scenario.h"
#include "host/window_thread.h"

namespace vantorel::host {

// The usage lines of the options below, for the program's usage text.
extern const char kWindowStepsUsage[];

// --windows N, --in K, --close K, --dialog ACTION: one option and its value into out.
bool ParseWindowArgument(const std::wstring& option, const std::wstring& value, ScenarioArgs& out,
                         std::wstring& error);
// Every --in and --close names one of the --windows windows.
bool CheckWindowNumbers(const ScenarioArgs& args, std::wstring& error);

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
