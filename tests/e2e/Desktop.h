#pragma once

#include "support/TestSupport.h"

#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace quillan::test {

// Waits until `done` holds, polling every 20 ms; false when the time ran out.
bool pollUntil(const std::function<bool()>& done, int timeoutMs);

// A private X display (Xvfb) for driving the real program with the keyboard
// as a person would, through xdotool.
class VirtualDisplay
{
public:
    VirtualDisplay();
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    // False (with a test failure saying what is missing) when Xvfb or
    // xdotool is not installed or the display did not come up.
    bool ok() const { return !name_.isEmpty(); }
    QString name() const { return name_; } // ":<n>"

    // Runs xdotool on this display; its standard output, trimmed.
    QString xdo(const QStringList& args, bool* ran = nullptr) const;
    // The first visible window whose title is exactly `title` (blanks at
    // the ends ignored), waiting for it; 0 when none came.
    qulonglong waitForWindow(const QString& title, int timeoutMs = 20000) const;
    // Every visible window whose title is exactly `title` (blanks at the
    // ends ignored).
    QList<qulonglong> windows(const QString& title) const;
    bool windowShown(const QString& title) const { return waitForWindow(title, 0) != 0; }
    // Gives `window` the keyboard and presses the keys in turn.
    void keys(qulonglong window, const QStringList& keys) const;
    void type(qulonglong window, const QString& text) const;
    // The screen, or the part `crop` of it, as a PNG (ImageMagick's import).
    bool screenshot(const QString& png, const QRect& crop = QRect()) const;

private:
    QProcess xvfb_;
    QString name_;
};

// The real program in a program folder of its own (Set.ini given), with
// its own home, scratch and configuration folders, shown on `display`.
class ProgramOnDisplay
{
public:
    ProgramOnDisplay(const VirtualDisplay& display, const QByteArray& setIni);
    // A second program of the same officer: the same folders.
    explicit ProgramOnDisplay(const ProgramOnDisplay& beside);
    ~ProgramOnDisplay();
    ProgramOnDisplay& operator=(const ProgramOnDisplay&) = delete;

    bool start();
    void kill(int signal);
    bool waitForEnd(int timeoutMs);

    QString file(const QString& name) const { return dir_->file(name); }
    QString programDir() const { return file(QStringLiteral("program")); }
    QString scratchDir() const { return file(QStringLiteral("cache/quillan")); }

    // For a failure message: how the program ended, if it did.
    std::string ended();
    QProcess process;

private:
    std::shared_ptr<TempDir> dir_;
    const VirtualDisplay& display_;
};

} // namespace quillan::test
