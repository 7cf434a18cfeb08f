// The prompt as a desk calculator: the stack kept from line to line, shown
// after each one, and cleared, undone and redone by the prompt's commands.
#ifndef RPN_DESK_H
#define RPN_DESK_H

#include "output.h"
#include "session.h"
#include "terminal.h"
#include "undo_history.h"

#include <string>
#include <vector>

class Desk {
public:
    // `session` keeps its stack. What the desk shows goes to `screen`;
    // what expressions write goes to `output` as in every other mode.
    Desk(Session &session, Output &output, Terminal &screen);

    // Evaluates the line (line `number` of the session) and, when it
    // failed, shows where on standard error.
    void Evaluate(const std::string &line, unsigned long number);
    void Clear();
    void Undo();
    void Redo();
    void ShowAll();

private:
    void Show(const std::string &text);
    void ShowStack();

    Session &session_;
    Output &output_;
    Terminal &screen_;
    UndoHistory history_;
};

#endif
