#pragma once
#include <QString>

// The process-wide names of the application. APP_NAME is the display name and may be changed
// once at launch by another edition; folders named after it take the value in force when made.
namespace AppIdentity {
QString appName();                  // APP_NAME, "Leaf Mill for Mac" unless changed
void setAppName(const QString& name);
QString appShortName();             // APP_SHORT_NAME, "LeafMill"
QString appHomePage();              // APP_HOME_PAGE
QString appVersion();               // the version number shown to the user
}
