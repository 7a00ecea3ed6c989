#include "drive_run.h"
#include "platform.h"
#include "termination.h"

int main()
{
    platform::start_process([](int event) { handle_console_event(event); });
    drive_run();
    finish_process();
}
