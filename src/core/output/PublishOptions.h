#pragma once
#include "output/HTMLConfigInfo.h"

#include <QString>
#include <functional>

// Where and how a book is published.
struct PublishOptions {
    enum class Kind { HTML, App, Zip };   // the order of the publish sheet's choices

    QString folder;                 // must exist
    QString name;                   // the HTML page's, bundle's or archive's name
    Kind kind = Kind::HTML;
    bool mobile = false;            // the mobile version too (never inside an application bundle)
    QString mobileTemplate;         // empty: the template's current choice
    HTMLConfigInfo pageInfo;        // title, meta texts and script of the HTML page
    bool extInterface = false;      // the book talks to the application (the live preview)
    // Told after each page file of a step ("page", "thumb", "mobile") with the count so far.
    std::function<void(const QString& step, qsizetype done, qsizetype total)> progress;
};
