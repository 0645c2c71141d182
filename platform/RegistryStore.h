#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace quillan::platform {

// The registry the record commands and the start-up password were written
// against, kept in one per-user store file (mode 0600, replaced atomically).
// A key path starts with one of the five root names "HKEY_CLASSES_ROOT",
// "HKEY_CURRENT_CONFIG", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE",
// "HKEY_USERS" (the text before the first backslash, compared in upper case),
// then a backslash and the subkey path. Key paths and value names match
// without regard to letter case, as in the registry.
//
// A store file that is damaged reads as empty keys. It is never written
// over: before the first write it is kept aside, byte for byte, as
// "<store>.damaged-<n>", and a fresh store takes its place.
class RegistryStore
{
public:
    explicit RegistryStore(QString storeFile);

    // The value's bytes as text, every zero byte among them replaced by CR LF;
    // the empty text when the root is unknown or the key or value is missing.
    // Never creates anything.
    QString readRegistryText(const QString& keyPath, const QString& valueName) const;

    // Stores the text's bytes (without a terminating zero), creating the key
    // when it is missing. False when the root is unknown or the store could
    // not be written.
    bool writeRegistryText(const QString& keyPath, const QString& valueName, const QString& text);

    // Raw access, for values written by other tools.
    bool writeRegistryBytes(const QString& keyPath, const QString& valueName, const QByteArray& data);

    const QString& storeFile() const { return file_; }

    // Why the store cannot be read, in words; empty when it can, or when
    // there is none yet.
    QString problem() const;
    // Keeps a store that cannot be read aside, byte for byte, as
    // "<store>.damaged-<n>", so that a fresh one can take its place. False
    // when it could not be moved.
    bool keepAside();

private:
    struct Value
    {
        QString key;  // normalised key path: upper-case root, "\" separators
        QString name; // value name as written
        QByteArray data;
        // The key path and the name as stored (UTF-8 when written here):
        // another tool's bytes are written back unchanged, even when they
        // are not UTF-8.
        QByteArray keyBytes;
        QByteArray nameBytes;
    };
    enum class State { Missing, Good, Damaged };
    static bool normaliseKey(const QString& keyPath, QString* key);
    State load(std::vector<Value>* values, QString* why = nullptr) const;

    QString file_;
};

} // namespace quillan::platform
