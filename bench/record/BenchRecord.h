#pragma once

// What the record benchmarks share: a record with all 24 pairs and the
// scripted services around the record commands.

#include "doubles/ManualClock.h"
#include "doubles/RecordingShell.h"
#include "doubles/ScriptedPrompts.h"
#include "platform/Clock.h"
#include "platform/Prompts.h"
#include "platform/Shell.h"
#include "record/MapForm.h"
#include "record/RecordCommands.h"
#include "record/RecordFields.h"

#include <QDateTime>

namespace quillan::bench {

inline test::MapForm fullRecord()
{
    test::MapForm f;
    const std::pair<const char*, const char*> header[] = {
        {"编辑框1", "2012"},
        {"编辑框2", "12"},
        {"编辑框3", "25"},
        {"编辑框4", "9"},
        {"编辑框5", "30"},
        {"编辑框6", "11"},
        {"编辑框7", "5"},
        {"编辑框8", "青山镇"},
        {"组合框2", "劳动保障所"},
        {"编辑框9", "张三"},
        {"组合框1", "男"},
        {"编辑框11", "河东县"},
        {"组合框52", "柳树村"},
        {"编辑框12", "身份证"},
        {"编辑框10", "220102197805061234"},
        {"编辑框26", "32"},
        {"编辑框14", "青山建筑工程公司"},
        {"组合框3", "瓦工"},
        {"编辑框27", "初中"},
        {"编辑框15", "13804310000"},
        {"编辑框16", "河东县柳树村"},
        {"组合框53", "李明"},
        {"组合框54", "无"},
        {"组合框55", "王红"},
    };
    for (const auto& [unit, value] : header)
        f.set(unit, QString::fromUtf8(value));
    for (const record::Pair& p : record::pairs()) {
        f.fields[record::unitName(p.question)] =
            QStringLiteral("问：第%1个问题，你在工地做什么工作？").arg(p.number);
        f.fields[record::unitName(p.answer)] = QStringLiteral("答：第%1个回答，我在工地砌墙。").arg(p.number);
    }
    return f;
}

// The record commands' environment over `form` and `engine`, with scripted
// prompts, a pinned clock and a shell that only records.
struct RecordRig
{
    RecordRig(test::MapForm& form, word::WordEngine& engine, const QString& programDir)
    {
        env.view = &form;
        env.status = &form;
        env.session = &form.session;
        env.prompts = &prompts;
        env.clock = &clock;
        env.shell = &shell;
        env.word = &engine;
        env.programDir = programDir;
        env.pageLineCounter = &counter;
        env.templateDialog = &d2;
        env.documentDialog = &d3;
    }
    RecordRig(const RecordRig&) = delete;
    RecordRig& operator=(const RecordRig&) = delete;

    platform::ScriptedPrompts prompts;
    platform::ManualClock clock{QDateTime::currentDateTime()};
    platform::RecordingShell shell;
    int counter = 0;
    platform::FileDialogUnit d2{
        QStringLiteral("通用对话框2"), platform::FileDialogUnit::Mode::Open, {}, {}, {}};
    platform::FileDialogUnit d3{
        QStringLiteral("通用对话框3"), platform::FileDialogUnit::Mode::Open, {}, {}, {}};
    record::RecordEnvironment env;
};

} // namespace quillan::bench
