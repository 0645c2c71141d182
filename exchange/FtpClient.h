#pragma once

#include <QString>

namespace quillan::exchange {

// One FTP connection to the office's server, used on the user-interface
// thread. Every call runs to completion (bounded by time-outs) and says only
// whether it worked; nothing is thrown.
class FtpClient
{
public:
    virtual ~FtpClient() = default;

    // Closes the connection left from an earlier call, then opens a new one
    // and logs in: a wrong account, a wrong password and an unreachable or
    // silent server all give false here, not at a later transfer. Active
    // mode (the server connects back for the data) unless `passive`.
    virtual bool connect(const QString& host, const QString& account, const QString& password, int port = 21,
                         bool passive = false) = 0;

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
