// The fuzz build's stand-in for the process-ending step. The real FatalStop
// (engine/fatal_stop.cpp) ends the process; this one throws, so the target
// regains control and can judge the outcome.
#ifndef KELVARO_FUZZ_FATAL_STOP_SEAM_H
#define KELVARO_FUZZ_FATAL_STOP_SEAM_H

namespace kelvaro_fuzz {

struct FatalStopped {
    int status;          // the exit status the real library would end with
    int valuesOnStack;   // how many values the stack held at the stop
};

}  // namespace kelvaro_fuzz

#endif
