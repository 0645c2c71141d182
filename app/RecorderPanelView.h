#pragma once

#include "audio/AudioCommands.h"

class QWidget;

namespace quillan::platform {
struct SessionState;
}

namespace quillan::app {

class MainWin;

// The recorder panel of the main window as the audio commands see it.
class RecorderPanelView final : public audio::RecorderPanel
{
public:
    // Gives the panel's slider its range 1 to 888, position 1, page step 5.
    RecorderPanelView(MainWin& window, platform::SessionState& session);

    void setEnabled(audio::PanelControl control, bool enabled) override;
    void setVisible(audio::PanelControl control, bool visible) override;
    void setElapsed(const QString& text) override;
    int sliderPosition() const override;
    void setSliderPosition(int position) override;
    void setTickInterval(int ms) override;
    void setStatusPart0(const QString& text) override;
    void setPlaybackPath(const QString& path) override;

private:
    QWidget* widget(audio::PanelControl control) const;

    MainWin& window_;
    platform::SessionState& session_;
};

} // namespace quillan::app
