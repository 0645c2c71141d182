#pragma once

#include <QString>

#include <vector>

namespace quillan::platform {
class Clock;
class Prompts;
class Shell;
} // namespace quillan::platform

namespace quillan::library {

// A menu item that opens one web address.
struct Link
{
    QString menu;
    QString caption;
    QString address;
};

// The link entries: the 23 provinces of "劳动保障网络(全国)" in menu order,
// the two download pages of "工具" and "官方网站" of "帮助".
const std::vector<Link>& linkTable();
const Link* findLink(const QString& menu, const QString& caption);

// A tool of the menu "工具": the caption and the program name the shell maps
// onto this desktop's program.
struct Tool
{
    QString caption;
    QString program;
};
const std::vector<Tool>& toolTable();

// The message of "联系作者" (shown under the title "作者信息："): one item a
// paragraph.
QString contactMessage();

// The commands of the links, the tools and the contact entry. None of them
// touches the main window.
class LinkCommands
{
public:
    LinkCommands(platform::Shell& shell, platform::Prompts& prompts) : shell_(shell), prompts_(prompts) {}

    // Opens the address with the desktop's URL opener; nothing is reported.
    void open(const Link& link);
    // Starts the tool without waiting for it to end; nothing is reported
    // when it cannot be started.
    void start(const Tool& tool);
    // "联系作者".
    void showContact();

private:
    platform::Shell& shell_;
    platform::Prompts& prompts_;
};

} // namespace quillan::library
