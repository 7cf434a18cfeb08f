// Replaces engine/fatal_stop.cpp in the fuzz targets (link-time seam).
#include "fatal_stop_seam.h"

#include "engine/value.h"
#include "engine/value_stack.h"

#include <cstdio>

namespace kelvaro {

void FatalStop(int status)
{
    static_cast<void>(std::fflush(stdout));
    const int valuesOnStack = StackCount();
    // The real library ends the process here and its stack dies with it; in
    // the fuzzer the next input must again start from an empty stack.
    ResetStack();
    throw kelvaro_fuzz::FatalStopped{status, valuesOnStack};
}

}  // namespace kelvaro
