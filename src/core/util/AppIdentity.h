#pragma once
#include <QString>

// The process-wide names of the application. Another edition sets its own names once at launch,
// before anything uses them; folders named after APP_NAME take the value in force when made.
namespace AppIdentity {
QString appName();                  // APP_NAME, "Leaf Mill for Mac" unless changed
void setAppName(const QString& name);
QString appShortName();             // APP_SHORT_NAME, "LeafMill"; names the preferences store
void setAppShortName(const QString& name);
QString appHomePage();              // APP_HOME_PAGE
void setAppHomePage(const QString& address);
QString appVersion();               // the version number shown to the user
}
