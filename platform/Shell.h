#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace quillan::platform {

// Starting other programs and opening web addresses. The record commands name
// programs as on the desktop they were written for ("WINWORD.EXE",
// "EXCEL.EXE", "calc.exe", "notepad.exe", "iexplore.exe"); the shell maps
// those names onto the programs of this desktop. Programs are always started
// with an argument list, never through a command interpreter.
class Shell
{
public:
    virtual ~Shell() = default;

    // Opens the address with the desktop's URL opener. Returns at once; a
    // failure is not reported.
    virtual void openWebAddress(const QString& address) = 0;

    // Starts `program` with `arguments` without waiting for it. `program` is
    // mapped as described above; a name ending in "WINWORD.EXE" (any case,
    // with or without a folder in front) starts the word processor.
    // False when no program could be started.
    virtual bool startProgram(const QString& program, const QStringList& arguments) = 0;
};

// What a program name maps to on this desktop: the executable to run and the
// arguments to put in front of the caller's. An empty program when none of
// the candidates is installed.
struct ProgramMapping
{
    QString program;
    QStringList leadingArguments;
};

// `findExecutable` looks a bare program name up (on PATH); tests replace it.
using ExecutableFinder = std::function<QString(const QString&)>;
ProgramMapping mapProgram(const QString& program, const ExecutableFinder& findExecutable);

// The real desktop shell.
class SystemShell final : public Shell
{
public:
    SystemShell();
    explicit SystemShell(ExecutableFinder finder);
    void openWebAddress(const QString& address) override;
    bool startProgram(const QString& program, const QStringList& arguments) override;

private:
    ExecutableFinder find_;
};

// Writes a desktop entry for `targetPath` at `linkPath`: ".desktop" is added
// unless the link path ends with it (any case); an existing file there is
// deleted first; the working folder is the target's folder with a trailing
// "/"; `iconPath` names the icon. False when the target path has no folder,
// or the entry could not be written. Nothing is reported to the officer.
bool createShortcut(const QString& linkPath, const QString& targetPath, const QString& iconPath);

} // namespace quillan::platform
