#pragma once

#include <QList>
#include <QString>

namespace quillan::platform {

// A recording saved from the recorder panel and its marks: the moment the
// officer began to type each question or answer line, by its label ("问1",
// "答1", ...), as milliseconds into the audio.
struct SavedRecording
{
    struct Mark
    {
        QString label;
        qint64 ms = 0;
        bool operator==(const Mark&) const = default;
    };
    QString file;
    QList<Mark> marks;
};

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
    // The recording last saved, which the next template written records;
    // empty after "新建笔录".
    SavedRecording savedRecording;
};

} // namespace quillan::platform
