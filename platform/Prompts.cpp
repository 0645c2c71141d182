#include "platform/Prompts.h"

namespace quillan::platform {

void Prompts::interrupt()
{
    interrupted_ = true;
    closeOpenPrompt();
}

} // namespace quillan::platform
