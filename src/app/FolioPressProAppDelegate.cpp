#include "FolioPressProAppDelegate.h"

#include "util/AppIdentity.h"

void FolioPressProAppDelegate::applicationDidFinishLaunching() {
    AppIdentity::setAppName(QStringLiteral("Folio Press Pro for Mac"));
    LeafMillAppDelegate::applicationDidFinishLaunching();
}
