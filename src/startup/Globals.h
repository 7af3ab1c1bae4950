// Process-wide values shared by the login, the main window and its dialogs.
#pragma once

#include "platform/ado/Recordset.h"

#include <QPointer>
#include <QString>

#include <cstdint>

class QObject;

inline QString gUserName;        // the logged-in user name, upper case
inline QString gMasterPassword;  // the master password as typed at the login
inline QString gStoredPassword;  // the user's verifier: the master password enciphered under itself
inline QString gDBpath;          // full path of the current data file
inline QString gOpenPassword;    // the other password of a file opened with one
inline QString gLastLoad;        // the path last shown in the status bar
inline bool gDialogOpen = false; // a modal dialog is up or the window is in the tray
inline bool gPeekOn = false;
inline int16_t gPeekTime = 0;
inline bool gTimeoutOn = false;
inline int16_t gTimeoutTime = 0;
inline bool gKeepOnTop = false;
inline bool gAutoLoad = false;
inline bool gEncryptFlag = false;
inline bool gEmptyFile = false;
inline bool gHideNewFileInfo = false;
inline int16_t gSortCol = 0;
inline int16_t gSortDir = 0;
inline float gColAccount = 0;
inline float gColURL = 0;
inline QPointer<ado::Recordset> gAccountRS; // the main window's recordset, for its dialogs
inline QString gTempImageFile;               // the temporary file of the latest picture swap

/// Puts every process-wide value back to its start value (for tests).
inline void resetGlobals()
{
    gUserName.clear();
    gMasterPassword.clear();
    gStoredPassword.clear();
    gDBpath.clear();
    gOpenPassword.clear();
    gLastLoad.clear();
    gDialogOpen = false;
    gPeekOn = false;
    gPeekTime = 0;
    gTimeoutOn = false;
    gTimeoutTime = 0;
    gKeepOnTop = false;
    gAutoLoad = false;
    gEncryptFlag = false;
    gEmptyFile = false;
    gHideNewFileInfo = false;
    gSortCol = 0;
    gSortDir = 0;
    gColAccount = 0;
    gColURL = 0;
    gAccountRS.clear();
    gTempImageFile.clear();
}
