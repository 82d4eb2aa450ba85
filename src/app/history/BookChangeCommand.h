#pragma once
#include "app/history/BookState.h"

#include <QUndoCommand>
#include <functional>

// A change of the whole book (an import, a reopen, a template switch, a new book): redo puts
// the new state in place, undo the old one, both through the controller's apply function.
class BookChangeCommand : public QUndoCommand {
public:
    using Apply = std::function<void(const BookState&)>;
    BookChangeCommand(const QString& text, BookState before, BookState after, Apply apply);

    void undo() override { iApply(iBefore); }
    void redo() override { iApply(iAfter); }

private:
    BookState iBefore;
    BookState iAfter;
    Apply iApply;
};
