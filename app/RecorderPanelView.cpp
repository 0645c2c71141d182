#include "app/RecorderPanelView.h"

#include "app/MainWin.h"
#include "app/MainWinLayout.h"
#include "platform/SessionState.h"

#include <QSlider>
#include <QTimer>

namespace quillan::app {

RecorderPanelView::RecorderPanelView(MainWin& window, platform::SessionState& session)
    : window_(window), session_(session)
{
    if (auto* slider = window_.control<QSlider>(unit::kSlider)) {
        slider->setRange(1, 888);
        slider->setValue(1);
        slider->setPageStep(5);
        slider->setSingleStep(1);
    }
}

QWidget* RecorderPanelView::widget(audio::PanelControl control) const
{
    switch (control) {
    case audio::PanelControl::Panel:
        return window_.control(unit::kRecorderPanel);
    case audio::PanelControl::Record:
        return window_.control(unit::kRecord);
    case audio::PanelControl::Pause:
        return window_.control(unit::kPause);
    case audio::PanelControl::Resume:
        return window_.control(unit::kResume);
    case audio::PanelControl::StopSave:
        return window_.control(unit::kStopSave);
    }
    return nullptr;
}

void RecorderPanelView::setEnabled(audio::PanelControl control, bool enabled)
{
    if (QWidget* w = widget(control))
        w->setEnabled(enabled);
}

void RecorderPanelView::setVisible(audio::PanelControl control, bool visible)
{
    if (QWidget* w = widget(control)) {
        w->setVisible(visible);
        if (visible)
            w->raise();
    }
}

void RecorderPanelView::setElapsed(const QString& text)
{
    window_.setFieldText(QString::fromUtf8(unit::kElapsed), text);
}

int RecorderPanelView::sliderPosition() const
{
    const auto* slider = window_.control<QSlider>(unit::kSlider);
    return slider ? slider->value() : 1;
}

void RecorderPanelView::setSliderPosition(int position)
{
    if (auto* slider = window_.control<QSlider>(unit::kSlider))
        slider->setValue(position);
}

void RecorderPanelView::setTickInterval(int ms)
{
    QTimer* timer = window_.timer(unit::kRecorderClock);
    if (!timer)
        return;
    timer->setInterval(ms);
    if (ms > 0)
        timer->start();
    else
        timer->stop();
}

void RecorderPanelView::setStatusPart0(const QString& text)
{
    window_.setStatusPart0(text);
}

void RecorderPanelView::setPlaybackPath(const QString& path)
{
    session_.playbackFile = path;
}

} // namespace quillan::app
