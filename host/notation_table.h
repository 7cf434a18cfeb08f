// The notation's commands as rpn describes them, read from the library's
// command table.
#ifndef RPN_NOTATION_TABLE_H
#define RPN_NOTATION_TABLE_H

#include <string>

// One line per command: "  +  add: b + a; '5 3 +' gives 8". The value of
// every example is the library's own, worked out as the table is written.
std::string DescribeNotation();

#endif
