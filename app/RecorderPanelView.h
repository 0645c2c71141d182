#pragma once

#include "audio/AudioCommands.h"

namespace quillan::app {

class MainWin;

// The recorder panel of the main window as the audio commands see it.
class RecorderPanelView final : public audio::RecorderPanel
{
public:
    // Gives the slider "滑块条1" its range 1 to 888, position 1, page step 5.
    explicit RecorderPanelView(MainWin& window);

    void setUnitEnabled(const QString& unit, bool enabled) override;
    void setUnitVisible(const QString& unit, bool visible) override;
    void setCaption(const QString& unit, const QString& text) override;
    int sliderPosition() const override;
    void setSliderPosition(int position) override;
    void setTickInterval(int ms) override;
    void setStatusPart0(const QString& text) override;
    void setPlaybackPath(const QString& path) override;

private:
    MainWin& window_;
};

} // namespace quillan::app
