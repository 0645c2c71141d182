#pragma once

#include "library/Links.h"
#include "library/TextCommands.h"

#include <functional>
#include <memory>

namespace quillan::app {

class MainWin;
class Startup;
struct Services;

// The reference-library entries of the menu bar: the law and guidance texts
// in the text panel (with its find field), the web links, the tools, the
// contact message, and the pop-up reader TextWin that start-up opens.
class TextBindings
{
public:
    TextBindings(MainWin& window, Services& services, Startup& startup);

    library::TextCommands& texts() { return texts_; }
    library::LinkCommands& links() { return links_; }

    // Opens TextWin modally and returns when it is closed.
    void showTextWin();
    // What the start-up step of the pop-up text calls when the reader is
    // wanted; showTextWin unless a test puts something else here.
    std::function<void()> openTextWin;

private:
    MainWin& window_;
    library::TextCommands texts_;
    library::LinkCommands links_;
};

} // namespace quillan::app
