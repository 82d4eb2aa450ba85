#include "app/FolioPressProAppDelegate.h"

#include "util/AppIdentity.h"

void FolioPressProAppDelegate::applicationDidFinishLaunching() {
    AppIdentity::setAppName(QStringLiteral("Folio Press Pro for Mac"));
    AppIdentity::setAppShortName(QStringLiteral("LeafMillPro"));
    AppIdentity::setAppHomePage(QStringLiteral("https://foliopress.example.org/"));
    LeafMillAppDelegate::applicationDidFinishLaunching();
}
