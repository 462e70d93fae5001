#pragma once
// The stand-in program's scripted mode, as its tests and its program use it: the command line,
// the band module, the steps against the live band and their output.
#include "host/band_loader.h"
#include "host/scenario_args.h"
#include "host/scenario_output.h"
#include "host/scenario_runner.h"
