#pragma once

#include <QString>

namespace quillan::platform {

// The folders the program works in. Detected once at start; tests build
// their own with fresh temporary folders.
struct Paths
{
    QString programDir; // folder of the executable, no trailing "/"
    QString scratchDir; // private per-user scratch folder (mode 0700), no trailing "/"
    QString desktopDir; // the user's desktop folder, no trailing "/"
    QString configDir;  // per-user configuration folder of the program, no trailing "/"

    // Folder of the running executable, $XDG_CACHE_HOME/quillan (or
    // ~/.cache/quillan), the desktop folder of xdg-user-dirs, and
    // $XDG_CONFIG_HOME/quillan (or ~/.config/quillan).
    static Paths detect();

    // The scratch folder, created with mode 0700 when missing. Empty when it
    // cannot be made private (it exists and belongs to someone else, or is a
    // symbolic link).
    QString ensureScratchDir() const;

    // program directory + "/BL"
    QString recordsDir() const { return programDir + QStringLiteral("/BL"); }
    // program directory + "/Set.ini"
    QString settingsFile() const { return programDir + QStringLiteral("/Set.ini"); }
};

// Creates `dir` (and its parents) and makes it mode 0700. Returns false when
// it is not a real directory owned by this user afterwards.
bool ensurePrivateDir(const QString& dir);

// Creates `dir` when it is missing, mode 0700 (missing parents get the usual
// mode); an existing folder keeps the mode the officer or the office gave
// it. False when there is no folder there afterwards.
bool makePrivateFolder(const QString& dir);

} // namespace quillan::platform
