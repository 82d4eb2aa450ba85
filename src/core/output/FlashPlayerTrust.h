#pragma once
#include <QString>

// Lists local folders in Flash Player's trust files ("PT.cfg", one folder per line, UTF-16 with
// a byte-order mark): the machine-wide one and the current user's one.
namespace FlashPlayerTrust {
// Adds the folder to the user's trust file, and to the machine-wide one only when asked to (that
// file is the whole system's, written only at the user's request). Failures are logged and
// otherwise ignored.
void makeDiractoryTrustByFlash(const QString& folder, bool forAllUsers = false);
// Adds the folder to one trust file unless a line equals it already. A file that cannot be read
// as UTF-16 text is left as it is.
void writeTrustedFolderContent(const QString& folder, const QString& flashPath);

QString machineTrustFolder();   // /etc/adobe/FlashPlayerTrust/
QString userTrustFolder();      // ~/.macromedia/Flash_Player/#Security/FlashPlayerTrust/
// Points both at other folders (tests); empty texts restore the platform's folders.
void setTrustFolders(const QString& machineFolder, const QString& userFolder);
}
