#pragma once
#include <memory>

class FlashOutline;
class FlashPageSource;
class FlashPagesAnnotations;
class FlashTemplate;

// A book as it is edited and published: its pages, the template that dresses them, and the
// optional outline and page links. The objects are shared with whoever edits them.
struct Book {
    std::shared_ptr<FlashPageSource> pageSource;
    std::shared_ptr<FlashTemplate> flashTemplate;
    std::shared_ptr<FlashOutline> outline;
    std::shared_ptr<FlashPagesAnnotations> pageLinks;
};
