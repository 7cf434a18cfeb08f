// Compiled programs on many inputs: one formula of x, run on the same values
// by kelvaro_rpn_program_run, kelvaro_rpn_program_run_many, a bare C++ loop
// of the same calls to <cmath>, and muparser with x defined once.
//
// Every benchmark here does one pass over all the values per iteration and
// sets the counter kValuesCounter to their number, so the report can divide
// by it and give the time per value.
#ifndef KELVARO_BENCHMARKS_PROGRAMS_H
#define KELVARO_BENCHMARKS_PROGRAMS_H

#include "formulas.h"

#include <cstdio>
#include <string>
#include <vector>

namespace kelvaro_bench {

// Benchmark names are "<formula>/<side>", as for the workloads.
inline constexpr char kBareLoopSide[] = "bare_loop";
inline constexpr char kProgramRunSide[] = "program_run";
inline constexpr char kProgramRunManySide[] = "program_run_many";
// kelvaro_rpn_program_run_many_fast: console only, beside the exact sides.
inline constexpr char kProgramRunManyFastSide[] = "program_run_many_fast";
inline constexpr char kMuparserVarSide[] = "muparser_var";
inline constexpr char kMuparserBulkSide[] = "muparser_bulk";
// Bulk mode on as many OpenMP threads as muparser takes by default (one per
// core), in wall-clock time: not in the table, whose times are one thread's.
inline constexpr char kMuparserBulkThreadsSide[] = "muparser_bulk_threads";

inline constexpr char kValuesCounter[] = "values";

// Runs every side once over `inputs` and writes one line per formula to
// `report`. Returns false, after saying why, when a program's value is not
// the bare loop's bit for bit (or a run fails), or when muparser is so far
// from the bare loop that it cannot be the same formula. muparser's values
// that differ from the bare loop's only in rounding are counted, not failed:
// it computes x^2 as x*x, which is not always glibc's pow(x, 2).
bool ProgramsAgree(const std::vector<Formula> &formulas, const std::vector<double> &inputs,
                   std::FILE *report);

// Registers "<formula>/<side>" for the sides above, all on `inputs`, which
// must outlive the run.
void RegisterPrograms(const Formula &formula, std::vector<double> &inputs);

}  // namespace kelvaro_bench

#endif
