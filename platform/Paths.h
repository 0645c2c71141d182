#pragma once

#include <QString>
#include <QStringList>

namespace quillan::platform {

// Where an installed program's shipped files are.
struct Installation
{
    QString dataDir;      // read-only data (the help, the example contacts list), no trailing "/"
    QString settingsFile; // the office's default Set.ini, which the administrator may edit

    // The folders of the build's installation prefix: for /usr,
    // /usr/share/quillan and /etc/quillan/Set.ini.
    static Installation ofThisBuild();
};

// The folders the program works in. Detected once at start; tests build
// their own with fresh temporary folders.
//
// Two layouts, told apart by a Set.ini beside the executable:
//  - a portable program folder (Set.ini beside the executable): the office's
//    files are kept in that folder and the shipped files are read there;
//  - an installed program (none): the office's files are kept in the office
//    folder "Quillan" of the officer's documents folder, set up at start
//    from the installation's files (setUpOfficeFolder).
struct Paths
{
    QString programDir; // the office's files: Set.ini, BL/, the office texts; no trailing "/"
    QString dataDir;    // the shipped read-only files; the program folder when portable
    QString scratchDir; // private per-user scratch folder (mode 0700), no trailing "/"
    QString desktopDir; // the user's desktop folder, no trailing "/"
    QString configDir;  // per-user configuration folder of the program, no trailing "/"
    // Installed only: the office's default Set.ini the office folder starts with.
    QString defaultSettingsFile;
    bool installed = false;

    // The office's files (see locate), $XDG_CACHE_HOME/quillan (or
    // ~/.cache/quillan), the desktop folder of xdg-user-dirs, and
    // $XDG_CONFIG_HOME/quillan (or ~/.config/quillan). Creates nothing.
    static Paths detect();

    // The one decision between the two layouts: `executableDir` when it
    // holds a Set.ini, otherwise `documentsDir`/Quillan with the files of
    // `installation`. Sets programDir, dataDir, defaultSettingsFile and
    // installed; creates nothing.
    static Paths locate(const QString& executableDir, const QString& documentsDir,
                        const Installation& installation);

    // The text files the office keeps beside its Set.ini: the help and the
    // contacts list.
    static QStringList officeTexts();

    // Makes an installed program's office folder ready for this start. The
    // folder and its "BL" are created when missing (mode 0700); Set.ini
    // (from defaultSettingsFile) and the office texts (from dataDir) are
    // copied where missing, when the installation has them; the help, which
    // belongs to the program, is replaced when the installed one differs
    // (kept as it is when that fails). An existing folder keeps its modes and
    // the office's own files. A portable program folder is left as it is.
    // Empty when the folder is ready; otherwise what could not be made, and
    // why, for the officer.
    QString setUpOfficeFolder() const;

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
