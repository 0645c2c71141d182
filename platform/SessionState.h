#pragma once

#include <QString>

namespace quillan::platform {

// What one run of the program remembers between commands, besides the
// record: owned by the application and handed to the commands that need it.
struct SessionState
{
    // The word processor's program folder ("…/program/"), as the last
    // presence check found it; empty when none is installed.
    QString officeFolder;
    // The file of the text on show in the text panel.
    QString shownTextFile;
    // The file last chosen to open: a record template, or a document to print.
    QString lastChosenFile;
    // The file last chosen for uploading.
    QString uploadFile;
    // The recording last saved or chosen for playback.
    QString playbackFile;
};

} // namespace quillan::platform
