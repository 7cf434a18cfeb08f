// Standard input, output and error as rpn found them.
#ifndef RPN_STANDARD_DESCRIPTORS_H
#define RPN_STANDARD_DESCRIPTORS_H

struct StandardDescriptors {
    bool inputClosed;
    bool outputClosed;
    bool errorClosed;
};

// Points every closed standard descriptor at /dev/null, so that no file rpn
// opens later (an input file, the history, the terminal) takes its number and
// receives output meant for it, and says which ones were closed: writing to a
// closed standard output is still an error.
StandardDescriptors ReserveStandardDescriptors();

#endif
