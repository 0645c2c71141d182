#pragma once

#include <QByteArray>
#include <QString>

namespace quillan::exchange {

// What a connection to the server turned out to be.
struct FtpLink
{
    bool encrypted = false; // TLS (explicit AUTH TLS): the login and the files
    QByteArray certificate; // the SHA-256 fingerprint of the server's certificate, when TLS
    // The server showed another certificate than the pinned one: the
    // connection was refused before the account or any file was sent.
    bool certificateRefused = false;
    // A certificate is pinned, so the server did TLS before, but it offered
    // none now: refused before the account was sent.
    bool encryptionMissing = false;
};

// One FTP connection to the office's server, used on the user-interface
// thread. Every call runs to completion (bounded by time-outs) and says only
// whether it worked; nothing is thrown.
class FtpClient
{
public:
    virtual ~FtpClient() = default;

    // Closes the connection left from an earlier call, then opens a new one
    // and logs in: a wrong account, a wrong password and an unreachable or
    // silent server all give false here, not at a later transfer. The login
    // and the files are encrypted when the server offers TLS; a server that
    // does not is used in clear text. Transfers try active mode (the server
    // connects back for the data) unless `passive`, and passive mode once
    // when the data connection of active mode cannot be made.
    virtual bool connect(const QString& host, const QString& account, const QString& password, int port = 21,
                         bool passive = false) = 0;

    // The certificate fingerprint the next connect() must see, if the server
    // offers TLS (empty: whichever it shows, on first use).
    virtual void setPinnedCertificate(const QByteArray& fingerprint) = 0;
    // What the last connect() made of the connection.
    virtual FtpLink link() const = 0;
    // Whether a transfer of this connection has used passive mode.
    virtual bool passiveUsed() const = 0;

    // Enters `directory`, relative to the current one. On failure the
    // current directory stays as it was.
    virtual bool setCurrentDirectory(const QString& directory) = 0;

    // Stores the local file on the server under `remoteName` in the current
    // directory: image type (byte for byte), or ASCII type when `ascii`.
    virtual bool putFile(const QString& localPath, const QString& remoteName, bool ascii = false) = 0;

    // Fetches `remoteName` from the current directory into `localPath`. The
    // local file is replaced only when the whole file has arrived; on any
    // failure a file that was there stays as it was.
    virtual bool getFile(const QString& remoteName, const QString& localPath, bool ascii = false) = 0;
};

} // namespace quillan::exchange
