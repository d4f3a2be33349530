#include "cli/Commands.h"

int RunServe(CliRun& /*run*/) {
    return kExitRefused;
}
