#pragma once

#include "platform/Paths.h"
#include "platform/SessionState.h"

#include <QString>

namespace quillan::platform {
class Clock;
class Prompts;
class RegistryStore;
class Shell;
} // namespace quillan::platform

namespace quillan::word {
class WordEngine;
}

namespace quillan::exchange {
class FtpClient;
class WebFetcher;
} // namespace quillan::exchange

namespace quillan::audio {
class CaptureDevice;
class SoundPlayer;
} // namespace quillan::audio

namespace quillan::app {

// The process-wide service objects and variables, created once before any
// window and shared by every command.
struct Services
{
    platform::Paths paths;
    QString executablePath; // the running executable, for the desktop shortcut
    platform::Clock* clock = nullptr;
    platform::Prompts* prompts = nullptr;
    platform::Shell* shell = nullptr;
    platform::RegistryStore* registry = nullptr;
    word::WordEngine* word = nullptr;
    exchange::FtpClient* ftp = nullptr;
    exchange::WebFetcher* web = nullptr;
    audio::CaptureDevice* capture = nullptr;
    audio::SoundPlayer* player = nullptr;
    // The website whose version file the update check reads.
    QString website;

    // What this run remembers between commands besides the record.
    platform::SessionState session;
    // Lines typed since the last closing block of the record document.
    int pageLineCounter = 0;
};

} // namespace quillan::app
