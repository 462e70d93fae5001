#pragma once
// The checks of the diagnosis, one function each, in the order of the report. Each reads the
// registry, files or processes and changes nothing; each gives one line with what it found and,
// where something is wrong, what the user can do about it.
#include "diagnosis/report.h"

namespace vantorel {

// All checks, in order.
Report RunChecks(LANGID language);

// The module's path, version, machine and signature.
CheckLine CheckModule(LANGID language);
// The band's class registered for this user or the machine, pointing at this module; the toolbar entry.
CheckLine CheckRegistration(LANGID language);
// The browser helper object that shows the band (and makes its box): present, not kept out of Explorer.
CheckLine CheckHelper(LANGID language);
// "Enable third-party browser extensions": per user, per machine and by group policy.
CheckLine CheckExtensions(LANGID language);
// The band and the helper not switched off in Manage add-ons (or by policy).
CheckLine CheckAddon(LANGID language);
// Smart App Control: off, on or evaluating.
CheckLine CheckSmartAppControl(LANGID language);
// Windows' build, and whether its Explorer has a toolbar area by default.
CheckLine CheckWindows(LANGID language);
// The Explorer processes of this session that have the module loaded; folder windows in a
// process of their own.
CheckLine CheckExplorer(LANGID language);
// Where the settings and the history are kept, whether they can be written, the history's
// encoding and number of entries.
CheckLine CheckData(LANGID language);

}  // namespace vantorel
