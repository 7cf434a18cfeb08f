// Exit statuses of rpn beside the library's own (1 and 255).
#ifndef RPN_EXIT_STATUS_H
#define RPN_EXIT_STATUS_H

constexpr int kExitSuccess = 0;
constexpr int kExitUsage = 2;
// The system refused a process, a pipe or a descriptor.
constexpr int kExitSystem = 3;
// A child ended by signal N reports kExitSignalBase + N, as shells do.
constexpr int kExitSignalBase = 128;

#endif
