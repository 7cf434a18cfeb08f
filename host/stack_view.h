// The kept stack as the prompt shows it on the terminal.
#ifndef RPN_STACK_VIEW_H
#define RPN_STACK_VIEW_H

#include "value_format.h"

#include <cstddef>
#include <string>
#include <vector>

// One line, the bottom first and the newest value last:
// "stack: 1.000000 2.000000 7.000000\n", or "stack: empty\n". A line that
// would not fit in `columns` keeps the values nearest the top that do
// (always the top one) after the count of them all:
// "stack: (40 values) ... 39.000000 40.000000\n".
std::string CompactStack(const std::vector<double> &values, const ValueFormat &format,
                         std::size_t columns);

// Every value on a line of its own, the top last, after its level counted
// from the top as 1: "  2: 1.000000\n  1: 7.000000\n"; "stack: empty\n".
std::string FullStack(const std::vector<double> &values, const ValueFormat &format);

#endif
