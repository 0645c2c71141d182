#pragma once

#include <QString>

#include <optional>

#include <functional>

namespace quillan::platform {
class Prompts;
class RegistryStore;
class StatusPort;
struct SessionState;
} // namespace quillan::platform

namespace quillan::exchange {

class FtpClient;
class WebFetcher;

// The four fields of the FTP panel as the officer typed them.
struct ServerFields
{
    QString address; // "host", "host:port", "[v6 address]:port"
    QString account;
    QString password;
    QString fileName; // the record's name, without ".ini"
};

// What the exchange commands work with. Every pointer must be set.
struct ExchangeEnvironment
{
    std::function<ServerFields()> fields;      // the FTP panel
    platform::StatusPort* status = nullptr;    // the status and the busy cursor
    platform::SessionState* session = nullptr; // the file chosen for uploading
    platform::Prompts* prompts = nullptr;
    FtpClient* ftp = nullptr;
    WebFetcher* web = nullptr;
    QString programDir; // no trailing "/"
    QString scratchDir; // the private scratch folder, no trailing "/"
    QString website;    // the program's website, no trailing "/"
    // Where each server's certificate fingerprint and the mode of its data
    // connections that worked are kept, per host and port (optional).
    platform::RegistryStore* settings = nullptr;
};

// Where an address typed into the FTP panel points: "host", "host:port",
// "[v6 address]" or "[v6 address]:port". Without a valid port: port 21.
struct ServerAddress
{
    QString host;
    int port = 21;
};

// The commands of the menu "网络功能" that move record templates over FTP,
// and the update check "更新软件". Each runs to completion on the caller's
// thread; results go to the status message or a message box, nothing is
// thrown.
class ExchangeCommands
{
public:
    explicit ExchangeCommands(ExchangeEnvironment env);

    void upload();         // "笔录上传"
    void download();       // "笔录下载"
    void checkForUpdate(); // "更新软件"

    static ServerAddress parseAddress(const QString& text);
    // The message of an update check that got no answer.
    static QString updateFailureText(const QString& reason);
    // The message when the chosen file is not a record template.
    static QString notATemplateText(const QString& path);
    // What the status adds about the connection of a transfer.
    static QString unencryptedNote();
    static QString firstCertificateNote(const QString& fingerprint);
    static QString encryptedNote();
    // The refusal of a server whose certificate changed, and the question
    // that follows it.
    static QString certificateChangedText(const QString& server, const QString& before, const QString& now);
    static QString trustQuestion(const QString& server, const QString& fingerprint);
    static QString encryptionMissingText(const QString& server);
    // Why a file name may not be used on the server or in "BL", or nothing
    // when it may: a name must not lead out of its folder.
    static std::optional<QString> nameProblem(const QString& name);

private:
    // The configuration check and the file name check; false after the
    // officer has been told what is missing.
    bool configured();
    bool connect();
    // After a transfer: the mode that worked is kept; the note for the status.
    QString afterTransfer();
    QString serverKey() const;

    ExchangeEnvironment env_;
    bool running_ = false;          // a transfer is under way (the window keeps painting)
    bool firstCertificate_ = false; // the certificate of this connection was pinned just now
};

} // namespace quillan::exchange
