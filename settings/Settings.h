#pragma once

#include "platform/ProfileIni.h"

#include <QString>

namespace quillan::settings {

// The office's hand-edited settings file Set.ini beside the executable. It
// is parsed once per loading and never written.
class Settings
{
public:
    Settings() = default;
    explicit Settings(QString path) : path_(std::move(path)) { reload(); }

    // Parses the file again (a missing or broken file reads as empty).
    void reload() { ini_ = platform::ProfileIni::load(path_); }

    // The value of `key` in `section`, or the empty text.
    QString readSetting(const QString& section, const QString& key) const { return ini_.value(section, key); }

    const QString& path() const { return path_; }

private:
    QString path_;
    platform::ProfileIni ini_;
};

} // namespace quillan::settings
