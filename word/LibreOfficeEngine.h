#pragma once

#include "word/WordEngine.h"

#include <QString>
#include <QStringList>
#include <memory>

namespace quillan::word {

// Where the engine looks for the office suite and where it works.
struct LibreOfficeOptions
{
    // Folders searched for `soffice`, in order: PATH's folders, then the
    // standard install folders. Set them to folders without an office to
    // simulate "not installed".
    QStringList searchPath = defaultSearchPath();
    QStringList installFolders = defaultInstallFolders();
    // Private scratch folder (mode 0700); empty: the program's scratch folder.
    QString scratchDir;
    // Bound of every call into the office.
    int timeoutMs = 60000;
    // Bound of starting the office; a call that has to start it first (or
    // wait for a start under way) gets this on top of its own bound.
    int startTimeoutMs = 60000;
    // How long print() follows the job before it reports Sent.
    int printWaitMs = 60000;
    // Program started by setVisible(1) with `--writer <file URL>`; empty: the
    // soffice that was found.
    QString viewerProgram;

    static QStringList defaultSearchPath();     // the folders of $PATH
    static QStringList defaultInstallFolders(); // /usr/lib/libreoffice/program, /opt/libreoffice*/program
};

// The word engine over LibreOffice: one private headless soffice process,
// started at first use and kept while the engine lives, driven over UNO.
// Every call into the office is bounded by the time-out; a lost or hung
// process is ended and the next operation starts a fresh one. While a call
// runs, a caller on the application's main thread keeps processing paint
// events and timers (no input), so its windows stay painted.
class LibreOfficeEngine : public WordEngine
{
public:
    explicit LibreOfficeEngine(LibreOfficeOptions options = {});
    ~LibreOfficeEngine() override; // ends the office process
    LibreOfficeEngine(const LibreOfficeEngine&) = delete;
    LibreOfficeEngine& operator=(const LibreOfficeEngine&) = delete;

    QString installPathText() override;
    bool spreadsheetInstalled() override;
    void startInBackground() override;
    void createApplication() override;
    void bindDocuments() override;
    bool open(const QString& path) override;
    void setVisible(int visible) override;
    void setAlignment(Alignment alignment) override;
    void setFontSize(double points) override;
    void setBold(bool on) override;
    void setUnderline(bool on) override;
    void typeText(const QString& text) override;
    bool setFieldText(const QString& name, const QString& text) override;
    bool saveAs(const QString& path) override;
    bool saveAsPdf(const QString& path) override;
    PrintResult print() override;
    void closeDocument() override;
    void quit() override;
    void releaseDocuments() override;
    void releaseApplication() override;
    QString lastError() const override;

    // Starts the office process now (it otherwise starts at first use).
    bool warmUp();
    // Whether a background start is still under way.
    bool startingInBackground() const;
    // The pid of the office launcher while it runs, else 0 (for tests).
    qint64 officePid() const;
    // How many office processes this engine has started.
    int officeStarts() const;
    // The private profile folder of this engine's office process.
    QString profileDir() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace quillan::word
