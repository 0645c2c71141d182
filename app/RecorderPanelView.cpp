#include "app/RecorderPanelView.h"

#include "app/MainWin.h"

#include <QSlider>
#include <QTimer>

namespace quillan::app {

RecorderPanelView::RecorderPanelView(MainWin& window) : window_(window)
{
    if (auto* slider = window_.control<QSlider>(QStringLiteral("滑块条1"))) {
        slider->setRange(1, 888);
        slider->setValue(1);
        slider->setPageStep(5);
        slider->setSingleStep(1);
    }
}

void RecorderPanelView::setUnitEnabled(const QString& unit, bool enabled)
{
    if (QWidget* w = window_.control(unit))
        w->setEnabled(enabled);
}

void RecorderPanelView::setUnitVisible(const QString& unit, bool visible)
{
    if (QWidget* w = window_.control(unit)) {
        w->setVisible(visible);
        if (visible)
            w->raise();
    }
}

void RecorderPanelView::setCaption(const QString& unit, const QString& text)
{
    window_.setFieldText(unit, text);
}

int RecorderPanelView::sliderPosition() const
{
    const auto* slider = window_.control<QSlider>(QStringLiteral("滑块条1"));
    return slider ? slider->value() : 1;
}

void RecorderPanelView::setSliderPosition(int position)
{
    if (auto* slider = window_.control<QSlider>(QStringLiteral("滑块条1")))
        slider->setValue(position);
}

void RecorderPanelView::setTickInterval(int ms)
{
    QTimer* timer = window_.timer(QStringLiteral("时钟1"));
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
    window_.setFieldText(QStringLiteral("编辑框18"), path);
}

} // namespace quillan::app
