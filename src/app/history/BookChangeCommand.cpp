#include "app/history/BookChangeCommand.h"

BookChangeCommand::BookChangeCommand(const QString& text, BookState before, BookState after, Apply apply)
    : QUndoCommand(text), iBefore(std::move(before)), iAfter(std::move(after)), iApply(std::move(apply)) {}
